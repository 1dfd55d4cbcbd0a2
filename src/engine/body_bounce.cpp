#include "engine/body_bounce.h"

#include <cmath>
#include <utility>

namespace zv {

// A geometric series: the mean phasor of the run, turned to its middle, times
// sin(count·θ/2) / sin(θ/2).
std::complex<double> phasorSum(int64_t start, int32_t count, double radiansPerSample) {
    return PhasorSums(radiansPerSample).of(start, count);
}

PhasorSums::PhasorSums(double radiansPerSample)
    : radians_(radiansPerSample), sinHalf_(std::sin(radiansPerSample / 2)) {}

std::complex<double> PhasorSums::of(int64_t start, int32_t count) {
    if (count <= 0) return {};
    // Most runs are full pieces, the rest mostly the short last piece of a stretch.
    if (count != counts_[0]) {
        std::swap(counts_[0], counts_[1]);
        std::swap(gains_[0], gains_[1]);
    }
    if (count != counts_[0]) {
        counts_[0] = count;
        gains_[0] =
            std::abs(sinHalf_) < 1e-12 ? double(count) : std::sin(count * radians_ / 2) / sinHalf_;
    }
    const double gain = gains_[0];
    const int64_t middle = 2 * start + count - 1;
    const int64_t step = middle - lastMiddle_;
    const std::complex<double> phasor =
        started_ && step == lastStep_ ? lastPhasor_ * turn_ : middlePhasor(middle);
    if (started_ && step != lastStep_) {
        turn_ = phasor * std::conj(lastPhasor_);
        lastStep_ = step;
    }
    started_ = true;
    lastMiddle_ = middle;
    lastPhasor_ = phasor;
    return gain * phasor;
}

std::complex<double> PhasorSums::middlePhasor(int64_t twiceMiddle) {
    // A passage's angles stay far below the range where sin and cos lose their precision.
    const double angle = radians_ * 0.5 * double(twiceMiddle);
    return {std::cos(angle), std::sin(angle)};
}

}  // namespace zv
