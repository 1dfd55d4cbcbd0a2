#pragma once

#include <complex>
#include <cstdint>
#include <span>

namespace zv {

// A wagon's body bouncing on its springs adds to a platform's load a sine of the body's own
// frequency, in proportion to the share of the body's axles that stand on that platform. It
// keeps going all the way over the scale, and over the few seconds a wagon spends there at
// 10 km/h its mean over a stretch does not vanish: unmodelled, it leaks into the axle loads.
// The weighing by axle loads therefore solves each body's sine and cosine terms with the axle
// loads, at the frequency (within the range bodies of railway wagons bounce at) that leaves
// the least residual. The terms carry no static load: their mean over the passage is no
// weight.
inline constexpr double kBodyBounceLowHz = 1.0;
inline constexpr double kBodyBounceHighHz = 3.0;
// The first look at the range goes in these steps; around the best, the frequency is then
// narrowed down by golden sections this many times (to within about 5 mHz).
inline constexpr double kBodyBounceStepHz = 0.1;
inline constexpr int kBodyBounceRefinements = 6;
// The bodies of one solution: a wagon and its two neighbours.
inline constexpr int kMaxBouncingBodies = 3;

struct BodyBounce {
    double sampleHz = 0;              // samples per second; 0: no bounce is modelled
    std::span<const int32_t> bodies;  // body (0..2) of each axle of the window, -1: none
    double fixedHz = 0;               // above 0: this frequency, without a search
    bool modelled() const { return sampleHz > 0 && !bodies.empty(); }
};

// The sum of e^(i·radiansPerSample·k) over the samples k of [start, start + count).
std::complex<double> phasorSum(int64_t start, int32_t count, double radiansPerSample);

}  // namespace zv
