#include "engine/axle_detection.h"

#include <algorithm>
#include <cstdint>

#include "engine/bogie_wagon_weights.h"
#include "engine/diagnostic_text.h"
#include "engine/platforms.h"
#include "engine/rounding.h"
#include "engine/wagon_completion.h"

namespace zv {

namespace {

// Net load on the first platform with which the first train after start-up must arrive.
constexpr double kConfirmLoad = 1000.0;
// First-bogie arrivals (and wagon axle count) from which a platform keeps the maximum.
constexpr int32_t kPeakFirstBogieAxles = 4;
constexpr int32_t kPeakWagonAxles = 8;
// The load added to an average is the one this many samples back.
constexpr int kLoadDelay = 5;

EngineObserver& silentObserver() {
    static EngineObserver silent;
    return silent;
}

// Keeps an axle time when the wagon and the axle have room for it; the count goes on.
void recordAxle(std::array<AxleRec, kWagonSlots>& recs, int32_t idx, bool entry, int32_t n,
                uint32_t sample) {
    if (!hasWagonSlot(idx) || n < 1 || n > kMaxAxles) return;
    (entry ? recs[idx].Entry : recs[idx].Exit)[n] = static_cast<int32_t>(sample);
}

void recordAxleCount(std::array<AxleRec, kWagonSlots>& recs, int32_t idx, int32_t axles) {
    if (hasWagonSlot(idx)) recs[idx].Axles = axles;
}

}  // namespace

AxleDetection::AxleDetection(TrainState& state, const Settings& settings,
                             const SampleFilter& filter, const Conditioning& conditioning,
                             const WallClock& wallClock)
    : t_(state),
      s_(settings),
      filter_(filter),
      conditioning_(conditioning),
      wallClock_(wallClock),
      observer_(&silentObserver()) {}

void AxleDetection::Axle(uint32_t nowMs) {
    two_ = twoPlatforms(s_);
    t_.TrainSample += 1;
    if (t_.Direction == 0) {
        detectTrainStart();
        if (t_.Direction != 0 && axleLoads_) axleLoads_->begin(s_);
    }
    if (t_.Direction != 0) {
        layout_ = layout();
        runDetectors();
    }
    if (t_.Direction != 0) {
        collectLoads();
        recordAxleLoads();
    }
    housekeeping(nowMs);
}

AxleDetection::Layout AxleDetection::layout() const {
    const bool forward = t_.Direction > 0;
    const int far = farEndOffset(s_);
    if (!two_) return forward ? Layout{0, far, -1, -1, 0, 0} : Layout{far, 0, -1, -1, 0, 0};
    return forward ? Layout{0, far, 4, 4 + far, 0, 5} : Layout{4 + far, 4, far, 0, 5, 0};
}

// A negative settling delay from a damaged settings file counts as none and a huge one
// saturates, so the limit never wraps around.
uint32_t AxleDetection::settleLimit() const {
    const uint64_t limit = uint64_t{t_.TrainSample} + static_cast<uint64_t>(std::max(s_.tflt, 0));
    return static_cast<uint32_t>(std::min<uint64_t>(limit, UINT32_MAX));
}

void AxleDetection::detectTrainStart() {
    const auto rises = [this](int slot) { return u(slot, 0) - u(slot, 2) > s_.Axtr1; };
    if (rises(0))
        t_.Direction = 1;
    else if (rises((two_ ? 4 : 0) + farEndOffset(s_)))
        t_.Direction = -1;
}

bool AxleDetection::step(EdgeDet& det, EdgeKind kind, int slot, int q) {
    const EdgeInput input =
        oneInputPerPlatform(s_) ? EdgeInput::WholePlatform : EdgeInput::PlatformEnd;
    return EdgeDetStep(det, kind, u(slot, 0), u(slot, 2), netLoad(q, 0), t_.TrainSample, s_.Axtr1,
                       input);
}

void AxleDetection::runDetectors() {
    const Layout& l = layout_;
    if (step(t_.EntryDet1, EdgeKind::Entry, l.entry1, l.q1)) onEntry1();
    if (!t_.TrainConfirmed) return;
    if (step(t_.ExitDet1, EdgeKind::Exit, l.exit1, l.q1)) onExit1();
    if (!two_) return;
    if (step(t_.EntryDet2, EdgeKind::Entry, l.entry2, l.q2)) onEntry2();
    if (step(t_.ExitDet2, EdgeKind::Exit, l.exit2, l.q2)) onExit2();
}

AxleDetection::Track AxleDetection::track1() {
    return {t_.EntryDet1, t_.ExitDet1,     t_.NextWagon1, t_.WagonAxles1, t_.WagonIdx1,
            t_.AxleRec1,  t_.SettleUntil1, t_.Acc1,       t_.Cnt1,        t_.PeakShared1};
}

AxleDetection::Track AxleDetection::track2() {
    return {t_.EntryDet2, t_.ExitDet2,     t_.NextWagon2, t_.WagonAxles2, t_.WagonIdx2,
            t_.AxleRec2,  t_.SettleUntil2, t_.Acc2,       t_.Cnt2,        t_.PeakShared2};
}

void AxleDetection::onEntry1() {
    if (!t_.TrainConfirmed) {
        if (!(netLoad(layout_.q1, 0) > kConfirmLoad)) {
            t_.Direction = 0;  // a false start
            return;
        }
        t_.TrainConfirmed = true;
    }
    if (axleLoads_) axleLoads_->edge(0, true, t_.EntryDet1.PeakSample);
    if (recordArrival(track1())) {
        t_.Acc12 = 0.0;
        t_.Cnt12 = 0;
    }
}

void AxleDetection::onEntry2() {
    if (axleLoads_) axleLoads_->edge(1, true, t_.EntryDet2.PeakSample);
    recordArrival(track2());
}

// Every arrival of an axle of the current wagon restarts the platform's collection; an
// arrival after all of them belongs to the next wagon. True when this arrival was the
// current wagon's last.
bool AxleDetection::recordArrival(Track p) {
    const int32_t n = p.entry.Count;
    p.settleUntil = settleLimit();
    if (p.nextWagon) {
        recordAxle(p.recs, p.wagonIdx + 1, true, n, p.entry.PeakSample);
    } else {
        recordAxle(p.recs, p.wagonIdx, true, n, p.entry.PeakSample);
        p.acc = 0.0;
        p.cnt = 0;
        p.peakShared = false;
    }
    if (n != p.wagonAxles || p.nextWagon) return false;
    p.entry.Count = 0;
    p.nextWagon = true;
    return true;
}

// When the first axle of a wagon leaves, the arrivals so far are its first bogie and the
// wagon has twice as many axles.
AxleDetection::Departure AxleDetection::recordDeparture(Track p) {
    const int32_t n = p.exit.Count;
    recordAxle(p.recs, p.wagonIdx, false, n, p.exit.PeakSample);
    p.settleUntil = settleLimit();
    if (p.wagonAxles == 0) {
        p.wagonAxles = 2 * p.entry.Count;
        return Departure::FirstAxle;
    }
    return n == p.wagonAxles ? Departure::LastAxle : Departure::Other;
}

void AxleDetection::completeWagon(Track p) {
    p.exit.Count = 0;
    p.nextWagon = false;
    p.wagonIdx += 1;
    recordAxleCount(p.recs, p.wagonIdx - 1, p.wagonAxles);
}

void AxleDetection::finishWagon() {
    WagonEnd(t_, s_, wallClock_(), *observer_);
}

void AxleDetection::onExit1() {
    if (axleLoads_) axleLoads_->edge(0, false, t_.ExitDet1.PeakSample);
    switch (recordDeparture(track1())) {
        case Departure::FirstAxle:
            WeiBogie0(t_, s_, *observer_);
            t_.ExitDet1.Count = 1;
            break;
        case Departure::LastAxle:
            WeiWagon0(t_, s_, *observer_);
            completeWagon(track1());
            if (!two_) finishWagon();
            t_.WagonAxles1 = 0;
            break;
        case Departure::Other:
            break;
    }
}

void AxleDetection::onExit2() {
    if (axleLoads_) axleLoads_->edge(1, false, t_.ExitDet2.PeakSample);
    switch (recordDeparture(track2())) {
        case Departure::FirstAxle:
            WeiBogie1(t_, s_, *observer_);
            t_.ExitDet2.Count = 1;
            break;
        case Departure::LastAxle:
            WeiWagon1(t_, s_, *observer_);
            completeWagon(track2());
            finishWagon();
            t_.WagonAxles2 = 0;
            break;
        case Departure::Other:
            break;
    }
}

void AxleDetection::collectLoads() {
    collectPlatform(track1(), layout_.q1);
    if (!two_) return;
    collectPlatform(track2(), layout_.q2);
    collectBothPlatforms();
}

// Eight-axle wagons (and a first bogie of four) keep the maximum; the others add the load
// of five samples back while the bogie alone stands on the platform and the filters have
// settled after the last edge. A maximum taken after an axle of the next vehicle has
// arrived (it cannot have left before this wagon's last axle) holds that axle's load too.
void AxleDetection::collectPlatform(Track p, int q) {
    if (p.entry.Armed || p.exit.Armed) return;
    if (p.wagonAxles == kPeakWagonAxles ||
        (p.wagonAxles == 0 && p.entry.Count == kPeakFirstBogieAxles)) {
        const double load = netLoad(q, 0);
        if (load > p.acc) {
            p.acc = load;
            p.peakShared = p.wagonAxles == kPeakWagonAxles && p.nextWagon && p.entry.Count > 0;
        }
        return;
    }
    const bool firstBogie = p.wagonAxles == 0 && p.entry.Count > 0;
    const bool secondBogie =
        p.wagonAxles > 0 && p.entry.Count == 0 && p.exit.Count == p.wagonAxles / 2;
    if ((firstBogie || secondBogie) && t_.TrainSample >= p.settleUntil) {
        p.cnt += 1;
        p.acc += netLoad(q, kLoadDelay);
    }
}

// The stretch in which the wagon's first bogie stands wholly on the second platform and
// its second bogie wholly on the first, with no axle of a neighbour on either.
void AxleDetection::collectBothPlatforms() {
    if (t_.EntryDet1.Armed || t_.ExitDet1.Armed || t_.EntryDet2.Armed || t_.ExitDet2.Armed) return;
    const int32_t half = t_.WagonAxles1 / 2;
    if (t_.WagonAxles2 == 0 && t_.EntryDet2.Count == half && t_.WagonAxles1 > 0 &&
        t_.EntryDet1.Count == 0 && t_.ExitDet1.Count == half && t_.TrainSample >= t_.SettleUntil1 &&
        t_.TrainSample >= t_.SettleUntil2) {
        t_.Cnt12 += 1;
        t_.Acc12 += netLoad(layout_.q1, kLoadDelay) + netLoad(layout_.q2, kLoadDelay);
    }
}

// The unfiltered net load of each platform: the weighing by axle loads leaves out the
// samples around each crossing itself, so no filter needs to settle.
void AxleDetection::recordAxleLoads() {
    if (!axleLoads_ || !axleLoads_->active()) return;
    const auto raw = [this](int q) { return filter_.PlW(q, 0, 0) - conditioning_.CurZero()[q]; };
    axleLoads_->sample(t_, raw(layout_.q1), two_ ? raw(layout_.q2) : 0.0);
}

void AxleDetection::housekeeping(uint32_t nowMs) {
    if (t_.EntryDet1.Armed || t_.ExitDet1.Armed || t_.EntryDet2.Armed || t_.ExitDet2.Armed)
        t_.LastAxleTick = nowMs;
    if (t_.Direction == 0) TrainReset(t_);
    if (observer_->diagnosticsWanted()) showDiagnostics();
}

void AxleDetection::showDiagnostics() {
    EngineObserver& o = *observer_;
    const auto detectors = [](const EdgeDet& a, const EdgeDet& b) {
        return DiagText().num(a.Count).field().flag(a.Armed).group().num(b.Count).field().flag(
            b.Armed);
    };
    const auto r = [](double v) { return int64_t{roundHalfEven(v)}; };
    o.diagnosticText(DiagLabel::La1, detectors(t_.EntryDet1, t_.ExitDet1).view());
    o.diagnosticText(DiagLabel::La1_, detectors(t_.EntryDet2, t_.ExitDet2).view());
    o.diagnosticText(DiagLabel::La2, DiagText()
                                         .num(t_.WagonAxles1)
                                         .field()
                                         .flag(t_.NextWagon1)
                                         .group()
                                         .num(r(filter_.PlW(0, 3, 5)))
                                         .view());
    o.diagnosticText(DiagLabel::La2_, DiagText()
                                          .num(t_.WagonAxles2)
                                          .field()
                                          .flag(t_.NextWagon2)
                                          .group()
                                          .num(r(filter_.PlW(5, 3, 5)))
                                          .view());
    const int far = farEndOffset(s_);
    const int rising = t_.Direction >= 0 ? 0 : far;
    const int falling = t_.Direction >= 0 ? far : 0;
    o.diagnosticText(DiagLabel::La3, DiagText()
                                         .num(r(u(rising, 0) - u(rising, 2)))
                                         .group()
                                         .num(r(u(falling, 2) - u(falling, 0)))
                                         .group()
                                         .num(r(filter_.PlW(0, 3, 0)))
                                         .view());
    o.diagnosticText(DiagLabel::La4, DiagText().num(t_.TrainSample).group().num(t_.Cnt1).view());
    o.diagnosticText(DiagLabel::La4_, DiagText().num(t_.Direction).field().num(t_.Cnt2).view());
}

}  // namespace zv
