#pragma once

#include <array>
#include <span>

namespace zv {

// One low-pass section: y0 = g (x0 + 2 x1 + x2) - a1 y1 - a2 y2.
struct Section {
    double g = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// A set of two sections as `FiltCoef` fills it; the filters run on the second one only.
using CoefSet = std::array<Section, 2>;

// Lowest and highest cut-off as a share of the sample rate: above the top the pre-warped
// tangent runs away to infinity (and turns negative past the Nyquist frequency).
inline constexpr double kMinCutoffShare = 0.0001;
inline constexpr double kMaxCutoffShare = 0.49;

// Butterworth low-pass of order 2n as n sections, bilinear transform with pre-warping.
// Fills min(n, out.size()) sections.
void FiltCoef(int Fs, int n, double fc, std::span<Section> out);

}  // namespace zv
