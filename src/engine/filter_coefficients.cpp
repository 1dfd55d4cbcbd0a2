#include "engine/filter_coefficients.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zv {

namespace {

// Normalised cut-off w = pi fc / Fs, kept where the tangent is finite and positive.
double prewarpAngle(int Fs, double fc) {
    const double share = Fs > 0 ? fc / Fs : kMaxCutoffShare;
    const double limited =
        std::clamp(std::isnan(share) ? kMaxCutoffShare : share, kMinCutoffShare, kMaxCutoffShare);
    return std::numbers::pi * limited;
}

}  // namespace

void FiltCoef(int Fs, int n, double fc, std::span<Section> out) {
    const double omega = std::tan(prewarpAngle(Fs, fc));
    const double d = omega * omega;
    const int sections = std::min<int>(n, static_cast<int>(out.size()));
    for (int k = 1; k <= sections; ++k) {
        const double e = std::cos((2.0 * k + 2.0 * n - 1.0) * std::numbers::pi / (4.0 * n));
        const double f = 1.0 / (d + 1.0 - 2.0 * omega * e);
        out[k - 1] = Section{d * f, 2.0 * (d - 1.0) * f, (d + 1.0 + 2.0 * omega * e) * f};
    }
}

}  // namespace zv
