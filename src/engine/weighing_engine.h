#pragma once

#include <array>
#include <cstdint>
#include <deque>

#include "engine/axle_detection.h"
#include "engine/axle_load_method.h"
#include "engine/conditioning.h"
#include "engine/engine_observer.h"
#include "engine/sample_filter.h"
#include "engine/stored_train.h"
#include "engine/train_state.h"
#include "engine/wall_time.h"
#include "settings/settings.h"

namespace zv {

// The whole per-sample pipeline of one run: filters (`DatFilt`), conditioning and zeroing
// (`DatPro`), axle detection and weighing (`Axle`), train completion (`TrainEnd`).
// Plain C++: no allocation per sample, nothing shown except through the observer.
class WeighingEngine {
  public:
    // The filters and the zero as they stand between two samples: what a catch-up of samples
    // held back while the gate was closed goes back to before it feeds them again.
    struct SignalState {
        SampleFilter filter;
        Conditioning conditioning;
    };

    // The settings are read on every sample (kept by reference); call FiltCoef() after
    // they change.
    explicit WeighingEngine(const Settings& settings);

    WeighingEngine(const WeighingEngine&) = delete;
    WeighingEngine& operator=(const WeighingEngine&) = delete;

    // nullptr restores the silent default.
    void setObserver(EngineObserver* observer);
    EngineObserver& observer() const { return *observer_; }
    // Time stamp of completed wagons; the system clock by default.
    void setWallClock(WallClock clock);
    const WallClock& wallClock() const { return wallClock_; }

    void FiltCoef();

    // One sample: the newest `AdcCode` entries, then `DatFilt` and `DatPro`. nowMs is the
    // wrapping millisecond tick of the system, for `LastAxleTick`.
    void feed(const std::array<uint16_t, 8>& slots, uint32_t nowMs);

    // Gate of `DatPro`: dynamic weighing allowed (main page shown, no blocking window).
    void setDynamicWeighingAllowed(bool allowed) { dynamicAllowed_ = allowed; }
    bool dynamicWeighingAllowed() const { return dynamicAllowed_; }
    // The latching zero button "->0<-"; the engine releases it when it serves the press.
    void setZeroButtonPressed(bool pressed) { zeroButton_ = pressed; }
    bool zeroButtonPressed() const { return zeroButton_; }

    bool trainInProgress() const { return state_.Direction != 0; }
    uint32_t LastAxleTick() const { return state_.LastAxleTick; }
    // A paused replay keeps the end-of-train time-out from running.
    void setLastAxleTick(uint32_t nowMs) { state_.LastAxleTick = nowMs; }
    // The tick's end-of-train test: a train in progress and no armed edge for more than
    // `tTrEnd` ms (unsigned difference of the wrapping tick).
    bool trainEndDue(uint32_t nowMs) const;

    // Marks tail locomotives, returns the rows `StoreTrain` writes (empty when no wagon was
    // completed) and returns the engine to idle.
    StoredTrain TrainEnd();

    // A train longer than kMaxWagons is handed over in parts: after the 200th wagon the
    // engine queues those rows and goes on with the rest of the passage as a new train.
    // Check after every feed() and store each part as a train of its own.
    bool hasCompletedTrain() const { return !completed_.empty(); }
    StoredTrain takeCompletedTrain();

    // Before the serial port opens: `SmpCnt` 0, `FltRestart` 1, `ZeroRequest` set.
    void resetBeforeOpen();
    // Replay start: filters restart, `TrainSample` 0, `ZeroRequest` set.
    void beginReplay();
    // Replay stop: filters restart, `ZeroRequest` set; the caller then calls TrainEnd().
    void endReplay();
    // New zero codes or coefficients: filters restart on the loads as the new calibration
    // makes them, the zero counts from the calibration zero and `ZeroRequest` is set.
    void calibrationChanged();

    int& SmpCnt() { return filter_.SmpCnt(); }
    int& FltRestart() { return filter_.FltRestart(); }
    bool& ZeroRequest() { return conditioning_.ZeroRequest; }

    void saveSignalState(SignalState& into) const;
    // Goes back to a saved state; the coefficients are taken from the settings as they are now.
    void restoreSignalState(const SignalState& from);

    const SampleFilter& filter() const { return filter_; }
    const Conditioning& conditioning() const { return conditioning_; }
    const TrainState& state() const { return state_; }

  private:
    void DatPro(uint32_t nowMs);
    void conditioningReading();
    void handOverFullTrain();
    void notifyGate();
    void notifyTrainPassing();

    const Settings& settings_;
    EngineObserver silent_;
    EngineObserver* observer_ = &silent_;
    WallClock wallClock_;
    SampleFilter filter_;
    Conditioning conditioning_;
    TrainState state_;
    AxleLoadMethod axleLoads_;
    AxleDetection axle_;
    std::deque<StoredTrain> completed_;
    bool dynamicAllowed_ = true;
    bool zeroButton_ = false;
    bool shownGate_ = true;
    bool shownPassing_ = false;
};

}  // namespace zv
