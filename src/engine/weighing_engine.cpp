#include "engine/weighing_engine.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "engine/train_completion.h"

namespace zv {

namespace {

WallTime systemNow() {
    return std::chrono::system_clock::now();
}

// Moves the entries of the wagons still on the platforms to the front.
template <typename T>
void shiftDown(std::array<T, kWagonSlots>& a) {
    std::move(a.begin() + kMaxWagons, a.end(), a.begin());
}

}  // namespace

WeighingEngine::WeighingEngine(const Settings& settings)
    : settings_(settings),
      wallClock_(systemNow),
      axle_(state_, settings_, filter_, conditioning_, wallClock_) {
    axle_.setAxleLoads(axleLoads_);
    FiltCoef();
}

void WeighingEngine::setObserver(EngineObserver* observer) {
    observer_ = observer != nullptr ? observer : &silent_;
    axle_.setObserver(*observer_);
}

void WeighingEngine::setWallClock(WallClock clock) {
    wallClock_ = clock ? std::move(clock) : WallClock(systemNow);
}

void WeighingEngine::FiltCoef() {
    filter_.FiltCoef(settings_);
}

void WeighingEngine::feed(const std::array<uint16_t, 8>& slots, uint32_t nowMs) {
    filter_.setAdcCodes(slots);
    filter_.DatFilt(settings_, *observer_);
    DatPro(nowMs);
}

void WeighingEngine::DatPro(uint32_t nowMs) {
    if (dynamicAllowed_) {
        axle_.Axle(nowMs);
        if (state_.WagonIdx2 >= kMaxWagons) handOverFullTrain();
        notifyTrainPassing();
    }
    notifyGate();
    if (filter_.SmpCnt() % kReadingPeriod != 0) return;
    conditioningReading();
}

void WeighingEngine::conditioningReading() {
    LoadValues loads;
    for (int q = 0; q < SampleFilter::kQuantities; ++q) loads[q] = filter_.PlW(q, 7, 0);
    const bool pressed = zeroButton_;
    const ConditioningDisplay display = conditioning_.reading(loads, zeroButton_, settings_);
    if (pressed && !zeroButton_) observer_->zeroButtonReleased();
    observer_->conditioningReading(display);
}

// The first kMaxWagons wagons become a train of their own; the passage goes on with the
// wagons still on the platforms as the start of the next one.
void WeighingEngine::handOverFullTrain() {
    axleLoads_.handOver(state_, settings_, kMaxWagons);
    completed_.push_back(StoreTrainRows(state_, settings_, kMaxWagons));
    shiftDown(state_.AxleRec1);
    shiftDown(state_.AxleRec2);
    shiftDown(state_.WagonWeights);
    shiftDown(state_.BogieDiff);
    shiftDown(state_.WagonResult);
    shiftDown(state_.WagonTime);
    state_.WagonIdx1 -= kMaxWagons;
    state_.WagonIdx2 -= kMaxWagons;
    state_.WagonsBefore += kMaxWagons;
}

bool WeighingEngine::trainEndDue(uint32_t nowMs) const {
    const uint32_t idle = nowMs - state_.LastAxleTick;
    return state_.Direction != 0 && int64_t{idle} > int64_t{settings_.tTrEnd};
}

StoredTrain WeighingEngine::TrainEnd() {
    if (state_.Direction != 0) axleLoads_.finish(state_, settings_, std::min(state_.WagonIdx2, kMaxWagons));
    StoredTrain train = zv::TrainEnd(state_, settings_, *observer_);
    notifyTrainPassing();
    return train;
}

StoredTrain WeighingEngine::takeCompletedTrain() {
    if (completed_.empty()) return {};
    StoredTrain train = std::move(completed_.front());
    completed_.pop_front();
    return train;
}

void WeighingEngine::resetBeforeOpen() {
    filter_.SmpCnt() = 0;
    filter_.FltRestart() = 1;
    conditioning_.ZeroRequest = true;
}

void WeighingEngine::beginReplay() {
    filter_.FltRestart() = 1;
    state_.TrainSample = 0;
    conditioning_.ZeroRequest = true;
}

void WeighingEngine::endReplay() {
    filter_.FltRestart() = 1;
    conditioning_.ZeroRequest = true;
}

void WeighingEngine::calibrationChanged() {
    filter_.FltRestart() = 1;
    conditioning_.calibrationChanged();
}

void WeighingEngine::saveSignalState(SignalState& into) const {
    into.filter = filter_;
    into.conditioning = conditioning_;
}

void WeighingEngine::restoreSignalState(const SignalState& from) {
    filter_ = from.filter;
    conditioning_ = from.conditioning;
    filter_.FiltCoef(settings_);
}

void WeighingEngine::notifyGate() {
    if (dynamicAllowed_ == shownGate_) return;
    shownGate_ = dynamicAllowed_;
    observer_->dynamicWeighingChanged(shownGate_);
}

void WeighingEngine::notifyTrainPassing() {
    const bool passing = state_.Direction != 0;
    if (passing == shownPassing_) return;
    shownPassing_ = passing;
    observer_->trainPassingChanged(passing);
}

}  // namespace zv
