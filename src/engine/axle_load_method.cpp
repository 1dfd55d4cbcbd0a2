#include "engine/axle_load_method.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/axle_load_solver.h"
#include "engine/bogie_wagon_weights.h"
#include "engine/filter_step.h"
#include "engine/platforms.h"
#include "engine/rounding.h"
#include "engine/wagon_completion.h"

namespace zv {

namespace {

// Samples a weight must be worth, and that each of its axle groups must be seen in, as a
// bogie window of the defined weighing must give.
constexpr double kMinWeightSamples = kAxleLoadMinSamples;
// A solution is sound while its residual stays within this many times the empty
// platforms' noise plus this share of the load: the axles' and the bodies' oscillations,
// which no equation models, are a few per cent of the load.
constexpr double kResidualNoiseFactor = 4;
constexpr double kResidualLoadShare = 0.05;
// The noise taken when no empty platform was seen long enough to measure it.
constexpr double kUnknownNoiseKg = 20;

struct Equations {
    std::array<PlatformEquations, 2> platforms;
    int count = 1;
    double noise = kUnknownNoiseKg;
    bool overflow = false;
    std::span<const PlatformEquations> all() const { return {platforms.data(), size_t(count)}; }
    std::span<const PlatformEquations> only(int p) const { return {&platforms[size_t(p)], 1}; }
};

Equations equationsOf(const AxleLoadRecord& r) {
    Equations e;
    e.count = r.platforms();
    double noise = -1;
    for (int p = 0; p < e.count; ++p) {
        const PlatformLoads& loads = r.platform(p);
        e.platforms[size_t(p)] = {loads.segments, loads.empty.noise() >= 0 ? loads.empty.mean() : 0.0};
        noise = std::max(noise, loads.empty.noise());
        e.overflow = e.overflow || loads.overflow;
    }
    if (noise >= 0) e.noise = noise;
    return e;
}

bool sound(const AxleLoadSolution& w, double noise) {
    const double limit = kResidualNoiseFactor * noise + kResidualLoadShare * w.rmsLoad;
    return w.estimable && w.apart && w.samples >= kMinWeightSamples &&
           w.fewestGroupSamples >= kMinWeightSamples && w.rmsResidual <= limit;
}

int32_t estimated(const AxleLoadSolution& w, int32_t kd) {
    return w.estimable ? std::max(0, peakWeight(w.wagon, kd)) : 0;
}

// The bogie and the body of each of the window's axles: the two halves of each of the
// wagons whose first axles are borders[0..2] (ending at the next border) are its bogies; -1
// for axles of no known wagon. The axles beyond the last border are the next body's, whose
// count is not known yet.
struct WindowAxles {
    std::array<int32_t, kMaxUnknownAxles> bogies;
    std::array<int32_t, kMaxUnknownAxles> bodies;
};

WindowAxles windowAxles(AxleSpan window, std::array<int32_t, 4> borders) {
    WindowAxles w;
    w.bogies.fill(-1);
    w.bodies.fill(-1);
    for (size_t v = 0; v + 1 < borders.size(); ++v) {
        const int32_t from = borders[v], half = (borders[v + 1] - from) / 2;
        const int32_t to = v + 2 == borders.size() ? window.to : borders[v + 1];
        for (int32_t a = std::max(from, window.from); a < to && a - window.from < kMaxUnknownAxles;
             ++a) {
            const size_t k = static_cast<size_t>(a - window.from);
            w.bodies[k] = int32_t(v);
            if (a < borders[v + 1]) w.bogies[k] = int32_t(2 * v) + (a - from >= half ? 1 : 0);
        }
    }
    return w;
}

// A wagon's axles and its window: the wagon with its neighbours.
struct WagonWindow {
    AxleSpan wagon, window;
    WindowAxles axles;
    bool valid = false;
};

BodyBounce bounceOf(const Settings& s, const WagonWindow& w, double hz) {
    return {double(std::max(s.Fadc, 1)), w.axles.bodies, hz};
}

WagonWindow windowOf(const TrainState& t, int32_t i, int32_t first, int32_t axlesBefore) {
    WagonWindow w;
    const int32_t n = t.WagonResult[i].Axles;
    const auto axlesOf = [&](int32_t k) {
        return std::clamp(t.WagonResult[k].Axles, 0, kMaxAxles);
    };
    const int32_t before = i > 0 ? axlesOf(i - 1) : axlesBefore;
    // The next wagon may not have left yet: as many axles as a wagon can have.
    const int32_t after = i + 1 < t.WagonIdx2 ? axlesOf(i + 1) : kMaxAxles;
    w.valid = n >= 2 && n <= kMaxAxles;
    w.wagon = {first, first + n};
    w.window = {std::max(first - before, 0), first + n + after};
    w.axles = windowAxles(
        w.window, {first - before, first, first + n, first + n + (after == kMaxAxles ? 0 : after)});
    return w;
}

// The bodies' frequency of least residual over a few wagons spread over the passage.
double bounceFrequency(const TrainState& t, const Settings& s, const Equations& e,
                       std::span<const int32_t> firsts, int32_t axlesBefore) {
    const int32_t count = static_cast<int32_t>(firsts.size());
    if (e.overflow || count == 0) return 0;
    std::array<WagonWindow, kBodyBounceSearchWagons> probes;
    std::array<WagonEquations, kBodyBounceSearchWagons> wagons;
    size_t m = 0;
    for (int k = 0; k < kBodyBounceSearchWagons; ++k) {
        const int32_t i = (2 * k + 1) * count / (2 * kBodyBounceSearchWagons);
        if (k > 0 && i == (2 * k - 1) * count / (2 * kBodyBounceSearchWagons)) continue;
        const WagonWindow& w = probes[m] = windowOf(t, i, firsts[size_t(i)], axlesBefore);
        if (w.valid) wagons[m++] = {e.all(), w.wagon, w.window, w.axles.bogies, w.axles.bodies};
    }
    return bodyBounceFrequency({wagons.data(), m}, double(std::max(s.Fadc, 1)));
}

void weighWagon(TrainState& t, const Settings& s, const Equations& e, int32_t i,
                const WagonWindow& ww, double hz) {
    AxleLoadSolution joint;
    std::array<AxleLoadSolution, 2> alone;
    if (!e.overflow && ww.valid) {
        joint = solveWagon(e.all(), ww.wagon, ww.window, ww.axles.bogies, bounceOf(s, ww, hz));
        // Each platform alone only shows how the two agree: solved without the bounce, which
        // would cost the tick twice as much again.
        if (e.count == 2)
            for (int p = 0; p < 2; ++p)
                alone[size_t(p)] = solveWagon(e.only(p), ww.wagon, ww.window, ww.axles.bogies);
    }
    WeightRec& w = t.WagonWeights[i];
    DiffRec& d = t.BogieDiff[i];
    w.WtFinal = estimated(joint, s.kd);
    const int32_t firstBogie = joint.estimable ? peakWeight(joint.firstBogie, s.kd) : 0;
    d.Diff1 = d.Diff2 = joint.estimable ? saturate32(2 * int64_t{firstBogie} - w.WtFinal) : 0;
    d.DiffFinal = t.Direction == -1 ? saturate32(-int64_t{d.Diff1}) : d.Diff1;
    if (e.count == 2) {
        w.Wt12 = w.WtFinal;
        w.Wt1 = estimated(alone[0], s.kd);
        w.Wt2 = estimated(alone[1], s.kd);
    } else {
        w.Wt1 = w.WtFinal;
        w.Wt2 = w.Wt12 = 0;
    }
    t.WagonResult[i].Note = sound(joint, e.noise) ? kNoteWeighed : kNoteWeightsDisagree;
    ClassifyWagon(t, i, s);
}

}  // namespace

// The crossing is dated within about a quarter of the edge filter's period.
int axleLoadGuard(const Settings& s) {
    const int guard = roundHalfEven(std::max(s.Fadc, 1) / (4.0 * std::max(s.Fflt_, 1)));
    return std::max(guard, 2);
}

int axleLandingSamples(const Settings& s) {
    return roundHalfEven(kAxleLandingSeconds * std::max(s.Fadc, 1));
}

int axleLoadPiece(const Settings& s) {
    return std::max(1, roundHalfEven(kAxleLoadPieceSeconds * std::max(s.Fadc, 1)));
}

void AxleLoadMethod::begin(const Settings& s) {
    active_ = weighsByAxleLoads(s);
    axleBase_ = 0;
    axlesBefore_ = 0;
    if (active_)
        record_.begin(twoPlatforms(s) ? 2 : 1, edgeDetectionLag(s.Fadc, s.Fflt_), axleLoadGuard(s),
                      axleLandingSamples(s), axleLoadPiece(s));
}

void AxleLoadMethod::finish(TrainState& t, const Settings& s, int32_t count) {
    if (!active_) return;
    record_.flush(t);
    weighWagons(t, s, count);
    active_ = false;
}

void AxleLoadMethod::handOver(TrainState& t, const Settings& s, int32_t count) {
    if (!active_) return;
    weighWagons(t, s, count);
    for (int32_t i = 0; i < count; ++i) axleBase_ += std::max(t.WagonResult[i].Axles, 0);
    axlesBefore_ = count > 0 ? std::clamp(t.WagonResult[count - 1].Axles, 0, kMaxAxles) : 0;
    record_.forgetBefore(axleBase_ - kMaxAxles);
}

void AxleLoadMethod::weighWagons(TrainState& t, const Settings& s, int32_t count) {
    // The leading locomotives are counted again from the new weights.
    if (t.WagonsBefore == 0) t.LocoCount = 0;
    count = std::min(count, kWagonSlots);
    std::array<int32_t, kWagonSlots + 1> firsts;
    firsts[0] = axleBase_;
    for (int32_t i = 0; i < count; ++i)
        firsts[size_t(i) + 1] = firsts[size_t(i)] + std::max(t.WagonResult[i].Axles, 0);
    const Equations e = equationsOf(record_);
    const double hz = bounceFrequency(t, s, e, {firsts.data(), size_t(count)}, axlesBefore_);
    for (int32_t i = 0; i < count; ++i)
        weighWagon(t, s, e, i, windowOf(t, i, firsts[size_t(i)], axlesBefore_), hz);
}

}  // namespace zv
