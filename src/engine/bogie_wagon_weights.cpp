#include "engine/bogie_wagon_weights.h"

#include "engine/diagnostic_text.h"
#include "engine/rounding.h"

namespace zv {

namespace {

// Eight-axle wagons are weighed by the maximum of each window instead of the mean.
constexpr int32_t kPeakAxles = 8;

// The accumulator and results of one platform.
struct Platform {
    double& acc;
    int32_t& cnt;
    bool& peakShared;
    int32_t axles;
    int32_t idx;
    int32_t WeightRec::*wt;
    int32_t DiffRec::*diff;
    uint8_t sharedBit;
};

Platform first(TrainState& t) {
    return {t.Acc1,      t.Cnt1,          t.PeakShared1,   t.WagonAxles1,
            t.WagonIdx1, &WeightRec::Wt1, &DiffRec::Diff1, kPeakSharedFirst};
}

Platform second(TrainState& t) {
    return {t.Acc2,      t.Cnt2,          t.PeakShared2,   t.WagonAxles2,
            t.WagonIdx2, &WeightRec::Wt2, &DiffRec::Diff2, kPeakSharedSecond};
}

int32_t windowWeight(const Platform& p, int32_t kd) {
    return p.axles == kPeakAxles ? peakWeight(p.acc, kd) : meanWeight(p.acc, p.cnt, kd);
}

void clear(Platform& p) {
    p.acc = 0.0;
    p.cnt = 0;
    p.peakShared = false;
}

void show(EngineObserver& observer, DiagLabel label, int64_t value) {
    if (observer.diagnosticsWanted()) observer.diagnosticText(label, DiagText().num(value).view());
}

// Returns the first bogie's weight (0 when the wagon has no slot).
int32_t weighBogie(TrainState& t, Platform p, int32_t kd) {
    int32_t weight = 0;
    if (p.acc > 0 && (p.axles == kPeakAxles || p.cnt != 0)) weight = windowWeight(p, kd);
    if (hasWagonSlot(p.idx)) {
        t.WagonWeights[p.idx].*p.wt = weight;
        t.PeakShared[p.idx] &= static_cast<uint8_t>(~p.sharedBit);
    }
    clear(p);
    return weight;
}

// Returns the wagon's weight on the platform.
int32_t weighWagon(TrainState& t, Platform p, int32_t kd) {
    if (!hasWagonSlot(p.idx)) {
        clear(p);
        return 0;
    }
    int32_t& wt = t.WagonWeights[p.idx].*p.wt;
    int32_t& diff = t.BogieDiff[p.idx].*p.diff;
    const int32_t b1 = wt;
    if (p.acc > 0 && b1 > 0) {
        const int32_t b2 = windowWeight(p, kd);
        diff = saturate32(int64_t{b1} - b2);
        wt = saturate32(int64_t{b1} + b2);
        if (p.axles == kPeakAxles && p.peakShared) t.PeakShared[p.idx] |= p.sharedBit;
    } else {
        wt = 0;
    }
    if (wt < MinWagonWeight) {
        wt = 0;
        diff = 0;
    }
    clear(p);
    return wt;
}

}  // namespace

int32_t meanWeight(double acc, int32_t cnt, int32_t kd) {
    if (cnt == 0) return 0;
    return roundHalfEven(acc / cnt * kd / 1000000);
}

int32_t peakWeight(double acc, int32_t kd) {
    return roundHalfEven(kd * acc / 1000000);
}

void WeiBogie0(TrainState& t, const Settings& s, EngineObserver& observer) {
    show(observer, DiagLabel::La3, weighBogie(t, first(t), s.kd));
}

void WeiWagon0(TrainState& t, const Settings& s, EngineObserver& observer) {
    show(observer, DiagLabel::La3, weighWagon(t, first(t), s.kd));
    const int32_t i = t.WagonIdx1;
    if (!hasWagonSlot(i)) return;
    int32_t both = t.Acc12 > 0 ? meanWeight(t.Acc12, t.Cnt12, s.kd) : 0;
    if (both < MinWagonWeight) both = 0;
    t.WagonWeights[i].Wt12 = both;
    show(observer, DiagLabel::La3s, both);
}

void WeiBogie1(TrainState& t, const Settings& s, EngineObserver& observer) {
    show(observer, DiagLabel::La3_, weighBogie(t, second(t), s.kd));
}

void WeiWagon1(TrainState& t, const Settings& s, EngineObserver& observer) {
    const int32_t cnt = t.Cnt2;
    const int32_t weight = weighWagon(t, second(t), s.kd);
    if (observer.diagnosticsWanted())
        observer.diagnosticText(
            DiagLabel::La3_,
            DiagText().num(weight).group().num(cnt).group().num(t.WagonIdx2).view());
}

}  // namespace zv
