#include "catchup/passage_watch.h"

#include <algorithm>
#include <cmath>

namespace zv {

namespace {

double slope(const SampleFilter& f, int slot) {
    return std::abs(f.ChFlt(slot, 5, 0) - f.ChFlt(slot, 5, 2));
}

}  // namespace

void PassageWatch::reset() {
    *this = PassageWatch();
}

// The axle detector's test at every platform end, rising or falling: it takes in the start
// of a train in either direction.
bool PassageWatch::edge(const WeighingEngine& engine, const Settings& s) {
    const SampleFilter& f = engine.filter();
    for (int slot : {0, 2, 4, 6}) {
        if (slot > 2 && s.Npl != 1) break;
        if (slope(f, slot) > s.Axtr1) return true;
    }
    return false;
}

double PassageWatch::load(const WeighingEngine& engine, const Settings& s) {
    const SampleFilter& f = engine.filter();
    const auto& zero = engine.conditioning().CurZero();
    double total = f.PlW(0, 3, 0) - zero[0];
    if (s.Npl == 1) total += f.PlW(5, 3, 0) - zero[5];
    return total;
}

PassageWatch::Change PassageWatch::step(const WeighingEngine& engine, const Settings& settings,
                                        uint32_t nowMs) {
    if (edge(engine, settings)) {
        edgeSeen_ = true;
        lastEdgeMs_ = nowMs;
    }
    const double kg = load(engine, settings);
    const bool recentEdge =
        edgeSeen_ && int64_t{nowMs - lastEdgeMs_} <= int64_t{settings.tTrEnd};
    if (!passing_) {
        if (!recentEdge || kg <= kVehicleKg) return Change::None;
        passing_ = passageSeen_ = true;
        maxLoad_ = kg;
        return Change::Started;
    }
    maxLoad_ = std::max(maxLoad_, kg);
    if (recentEdge || kg > kVehicleKg) return Change::None;
    passing_ = false;
    return Change::Ended;
}

bool PassageWatch::cut() {
    const bool was = passing_;
    passing_ = false;
    return was;
}

}  // namespace zv
