#include "catchup/gate_catch_up.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace zv {

namespace {

constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();

// Puts back the engine's clock, observer, gate and zero button however a replay ends.
class LiveEngine {
  public:
    explicit LiveEngine(WeighingEngine& engine)
        : engine_(engine),
          clock_(engine.wallClock()),
          observer_(engine.observer()),
          gate_(engine.dynamicWeighingAllowed()),
          zero_(engine.zeroButtonPressed()) {}
    ~LiveEngine() {
        engine_.setWallClock(clock_);
        engine_.setObserver(&observer_);
        engine_.setDynamicWeighingAllowed(gate_);
        engine_.setZeroButtonPressed(zero_);
    }
    LiveEngine(const LiveEngine&) = delete;
    LiveEngine& operator=(const LiveEngine&) = delete;

    EngineObserver& observer() const { return observer_; }

  private:
    WeighingEngine& engine_;
    WallClock clock_;
    EngineObserver& observer_;
    bool gate_;
    bool zero_;
};

}  // namespace

std::size_t heldSampleCapacity(int Fadc) {
    return static_cast<std::size_t>(std::max(Fadc, 1)) * 3600;
}

GateCatchUp::GateCatchUp(WeighingEngine& engine, const Settings& settings, CatchUpHost& host,
                         const LinkContinuity& link)
    : engine_(engine), settings_(settings), host_(host), link_(link),
      linkMark_(link.interruptions()) {}

bool GateCatchUp::noticeShown() const {
    if (mode_ == Mode::Holding) return watch_.passageSeen();
    return mode_ == Mode::Waiting && watch_.passing();
}

void GateCatchUp::tick(bool gateOpen, uint32_t nowMs) {
    gateOpen_ = gateOpen;
    lastMs_ = nowMs;
    if (const uint64_t breaks = link_.interruptions(); breaks != linkMark_) {
        linkMark_ = breaks;
        if (mode_ == Mode::Holding) linkBroke();
    }
    switch (mode_) {
        case Mode::Live:
            if (!gateOpen) hold(nowMs);
            break;
        case Mode::Holding:
            if (gateOpen)
                gateOpened();
            else
                letGoOfFrozenTrain(nowMs);
            break;
        case Mode::Waiting:
            if (gateOpen) {
                gateOpened();
            } else if (!engine_.trainInProgress() && !watch_.passing()) {
                hold(nowMs);
            }
            break;
        case Mode::CatchingUp:
            // A window opened again before the catch-up ended: end it now, so that what the
            // window reads of the scale is live.
            replay(gateOpen ? kReplayPerTick : kAll);
            break;
    }
}

void GateCatchUp::feed(const std::array<uint16_t, 8>& codes, uint32_t nowMs, bool calibrationMark) {
    lastMs_ = nowMs;
    const HeldSample sample{codes, nowMs, engine_.zeroButtonPressed(), calibrationMark, portOpened_};
    portOpened_ = false;
    switch (mode_) {
        case Mode::Live:
            feedEngine(sample);
            return;
        case Mode::Waiting:
            feedEngine(sample);
            watch(nowMs);
            return;
        case Mode::Holding:
            holdSample(sample);
            return;
        case Mode::CatchingUp:
            if (held_.full()) replay(kAll);
            if (mode_ == Mode::CatchingUp) {
                HeldSample queued = sample;
                queued.zeroButton = false;  // a press of the zero button waits for the live samples
                held_.push(queued);
                return;
            }
            feed(codes, nowMs, calibrationMark);
            return;
    }
}

void GateCatchUp::feedEngine(const HeldSample& sample) {
    if (sample.calibrationMark) engine_.SmpCnt() = 0;
    engine_.feed(sample.codes, sample.ms);
}

std::size_t GateCatchUp::capacity() const {
    return capacity_ > 0 ? capacity_ : heldSampleCapacity(settings_.Fadc);
}

void GateCatchUp::hold(uint32_t nowMs) {
    if (held_.capacity() != capacity()) held_.setCapacity(capacity());
    held_.clear();
    engine_.saveSignalState(head_);
    headIdle_ = !engine_.trainInProgress();
    watch_.reset();
    frozenLetGo_ = false;
    portOpened_ = false;
    wallBase_ = engine_.wallClock()();
    msBase_ = nowMs;
    mode_ = Mode::Holding;
}

void GateCatchUp::holdSample(const HeldSample& sample) {
    feedEngine(sample);
    watch(sample.ms);
    if (!held_.push(sample)) {
        giveUp(NotWeighedReason::Overflow);
        return;
    }
    slide();
}

std::size_t GateCatchUp::slideStep() const {
    return static_cast<std::size_t>(std::max(settings_.Fadc, 16));
}

// Nothing can have started a train since the first held sample: the oldest second is not
// needed, and the state after it becomes the new start.
void GateCatchUp::slide() {
    if (!headIdle_ || watch_.edgeSeen()) return;
    const std::size_t step = slideStep();
    if (held_.size() == step) {
        engine_.saveSignalState(spare_);
    } else if (held_.size() == 2 * step) {
        head_ = spare_;
        held_.dropFront(step);
        engine_.saveSignalState(spare_);
    }
}

bool GateCatchUp::somethingHeld() const {
    return watch_.edgeSeen() || !headIdle_;
}

// A train frozen by the closed gate keeps the page control and the buttons disabled; from
// the static page there is then no way back to the dynamic one. Once the live time-out has
// passed, the windows are told it has ended, as before; the catch-up still weighs it.
void GateCatchUp::letGoOfFrozenTrain(uint32_t nowMs) {
    if (frozenLetGo_ || !engine_.trainEndDue(nowMs)) return;
    frozenLetGo_ = true;
    engine_.observer().trainPassingChanged(false);
}

void GateCatchUp::giveUp(NotWeighedReason reason) {
    const bool lost = somethingHeld();
    held_.clear();
    mode_ = Mode::Waiting;
    // Without samples nothing would end the passage: it ends with the stream.
    if (reason == NotWeighedReason::LinkLost && watch_.cut()) host_.passageEnded(watch_.maxLoadKg());
    if (lost) host_.passageNotWeighed(reason);
}

void GateCatchUp::watch(uint32_t nowMs) {
    switch (watch_.step(engine_, settings_, nowMs)) {
        case PassageWatch::Change::Started:
            host_.passageStarted();
            break;
        case PassageWatch::Change::Ended:
            host_.passageEnded(watch_.maxLoadKg());
            break;
        case PassageWatch::Change::None:
            break;
    }
}

void GateCatchUp::gateOpened() {
    if (watch_.cut()) host_.passageEnded(watch_.maxLoadKg());
    if (mode_ == Mode::Holding && somethingHeld()) {
        startCatchUp();
        replay(kReplayPerTick);
        return;
    }
    held_.clear();
    mode_ = Mode::Live;
}

void GateCatchUp::startCatchUp() {
    engine_.restoreSignalState(head_);
    mode_ = Mode::CatchingUp;
}

void GateCatchUp::finishNow() {
    if (mode_ == Mode::Holding && somethingHeld()) startCatchUp();
    if (mode_ == Mode::CatchingUp) replay(kAll);
}

// What passes under a broken link is not seen; what was held before it stays held.
void GateCatchUp::linkBroke() {
    if (!watch_.cut()) return;
    host_.passageEnded(watch_.maxLoadKg());
    host_.passageNotWeighed(NotWeighedReason::LinkLost);
}

void GateCatchUp::beforePortOpens() {
    if (mode_ == Mode::CatchingUp) replay(kAll);
    if (mode_ == Mode::Holding) portOpened_ = true;
}

void GateCatchUp::beforeStreamBreak() {
    if (mode_ == Mode::CatchingUp) replay(kAll);
    if (mode_ == Mode::Holding) giveUp(NotWeighedReason::LinkLost);
}

bool GateCatchUp::takeLateMark() {
    const bool late = lateInProgress_;
    lateInProgress_ = false;
    return late;
}

void GateCatchUp::replay(std::size_t budget) {
    {
        LiveEngine live(engine_);
        replayObserver_.forwardTo(live.observer());
        engine_.setObserver(&replayObserver_);
        engine_.setWallClock([this] { return replayWall_; });
        engine_.setDynamicWeighingAllowed(true);
        for (std::size_t n = 0; n < budget && !held_.empty(); ++n) {
            const HeldSample sample = held_.front();
            held_.dropFront(1);
            replayOne(sample);
        }
    }
    if (held_.empty()) drained();
}

// As the tick would have done it: the end of the train first, at the sample's own time.
void GateCatchUp::replayOne(const HeldSample& sample) {
    if (engine_.trainEndDue(sample.ms)) {
        const StoredTrain train = engine_.TrainEnd();
        if (!train.empty()) host_.storeLateTrain(train);
    }
    replayWall_ = wallBase_ + std::chrono::milliseconds(sample.ms - msBase_);
    if (sample.portOpened) engine_.resetBeforeOpen();
    engine_.setZeroButtonPressed(sample.zeroButton);
    feedEngine(sample);
    while (engine_.hasCompletedTrain()) host_.storeLateTrain(engine_.takeCompletedTrain());
}

void GateCatchUp::drained() {
    lateInProgress_ = engine_.trainInProgress();
    if (frozenLetGo_) engine_.observer().trainPassingChanged(lateInProgress_);
    frozenLetGo_ = false;
    if (gateOpen_) {
        mode_ = Mode::Live;
    } else {
        hold(lastMs_);
    }
}

}  // namespace zv
