#pragma once

#include <algorithm>
#include <array>
#include <cmath>
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
// weight. The frequency is searched once for a passage, on a few of its wagons: the wagons
// of one train bounce alike, and a search for each wagon would not fit in a tick.
inline constexpr double kBodyBounceLowHz = 1.0;
inline constexpr double kBodyBounceHighHz = 3.0;
// The first look at the range goes in these steps; around the best, the frequency is then
// narrowed down by golden sections this many times (to within about 7 mHz).
inline constexpr double kBodyBounceStepHz = 0.1;
inline constexpr int kBodyBounceRefinements = 5;
// The bodies of one solution: a wagon and its two neighbours.
inline constexpr int kMaxBouncingBodies = 3;
// Wagons of a passage the frequency is searched on.
inline constexpr int kBodyBounceSearchWagons = 2;

struct BodyBounce {
    double sampleHz = 0;              // samples per second
    std::span<const int32_t> bodies;  // body (0..2) of each axle of the window, -1: none
    double hz = 0;                    // the bodies' frequency; 0: no bounce is modelled
    bool modelled() const { return sampleHz > 0 && hz > 0 && !bodies.empty(); }
};

// The frequency of the range at which residual(hz) is least: a look over the range in steps,
// then golden sections around the best step.
template <typename Residual>
double frequencyOfLeast(Residual residual) {
    double best = kBodyBounceLowHz, least = INFINITY;
    for (int k = 0; kBodyBounceLowHz + k * kBodyBounceStepHz <= kBodyBounceHighHz + 1e-9; ++k) {
        const double hz = kBodyBounceLowHz + k * kBodyBounceStepHz;
        if (const double r = residual(hz); r < least) least = r, best = hz;
    }
    const double golden = (std::sqrt(5.0) - 1) / 2;
    double lo = std::max(kBodyBounceLowHz, best - kBodyBounceStepHz);
    double hi = std::min(kBodyBounceHighHz, best + kBodyBounceStepHz);
    double c = hi - golden * (hi - lo), d = lo + golden * (hi - lo);
    double rc = residual(c), rd = residual(d);
    for (int k = 0; k < kBodyBounceRefinements; ++k) {
        if (rc < rd) {
            hi = d, d = c, rd = rc;
            c = hi - golden * (hi - lo), rc = residual(c);
        } else {
            lo = c, c = d, rc = rd;
            d = lo + golden * (hi - lo), rd = residual(d);
        }
    }
    return std::min(rc, rd) < least ? (rc < rd ? c : d) : best;
}

// The sum of e^(i·radiansPerSample·k) over the samples k of [start, start + count).
std::complex<double> phasorSum(int64_t start, int32_t count, double radiansPerSample);

// The same for many runs at one frequency. Runs mostly follow one another at the same
// distance (the pieces of a stretch): the phasor of a run's middle is then the last one's
// turned by the same angle as before, with no sine to work out.
class PhasorSums {
  public:
    explicit PhasorSums(double radiansPerSample);
    std::complex<double> of(int64_t start, int32_t count);

  private:
    std::complex<double> middlePhasor(int64_t twiceMiddle);

    double radians_;
    double sinHalf_;
    std::array<int32_t, 2> counts_{-1, -1};  // the run lengths last asked for, and their gains
    std::array<double, 2> gains_{};
    bool started_ = false;
    int64_t lastMiddle_ = 0;  // twice the last run's middle sample
    int64_t lastStep_ = -1;   // twice the distance between the last two middles
    std::complex<double> lastPhasor_, turn_;
};

}  // namespace zv
