#include "engine/body_bounce.h"

#include <cmath>
#include <numbers>

namespace zv {

// A geometric series: the mean phasor of the run, turned to its middle, times
// sin(count·θ/2) / sin(θ/2).
std::complex<double> phasorSum(int64_t start, int32_t count, double radiansPerSample) {
    if (count <= 0) return {};
    const double half = radiansPerSample / 2;
    const double gain = std::abs(std::sin(half)) < 1e-12
                            ? double(count)
                            : std::sin(count * half) / std::sin(half);
    const double middle =
        std::fmod(radiansPerSample * (double(start) + (count - 1) / 2.0), 2 * std::numbers::pi);
    return std::polar(gain, middle);
}

}  // namespace zv
