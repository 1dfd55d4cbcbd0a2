#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catchup/catch_up_host.h"
#include "catchup/held_samples.h"
#include "catchup/passage_watch.h"
#include "catchup/replay_observer.h"
#include "engine/wall_time.h"
#include "engine/weighing_engine.h"
#include "settings/settings.h"

namespace zv {

// Room for an hour of samples: the longest train the engine stores as one (200 wagons and
// their locomotives, some 2.9 km) takes 58 minutes over the scale at 3 km/h, the slowest
// speed the scale is verified at. 24 bytes a sample: 4.3 MB at 50 Hz, 17 MB at 200 Hz.
std::size_t heldSampleCapacity(int Fadc);

// Samples that arrive while dynamic weighing is switched off are weighed after all. While
// the gate is closed every sample goes through the engine as before (filters and zero, no
// `Axle`) and is also held, with the filters and the zero as they stood before the first
// one. When the gate opens, the engine goes back to that state and is fed the held samples,
// the detector running, as if the gate had been open: the end of a train is judged by the
// samples' own ticks, trains it completes are handed to the host as weighed late, and live
// samples arriving meanwhile queue behind the held ones. A train in progress when the gate
// closed is not ended while its samples are held. While nothing moves on the scale only the
// last second or two is kept, so that a window left open for long before a train arrives
// costs nothing. A break of the link while holding is kept in its place among the samples
// (the catch-up ends the train by its time-out over the outage and restarts the filters at
// the reopening, as the live program does), and the passage under way then is told to the
// host as not weighed. An overflow loses the held samples (told once); they then go to the
// engine only, as before, until the scale is quiet and the engine idle again.
class GateCatchUp {
  public:
    enum class Mode {
        Live,        // the gate is open: samples go to the engine
        Holding,     // the gate is closed: samples go to the engine and are held
        CatchingUp,  // held samples are being weighed; new ones queue behind them
        Waiting,     // held samples were given up; the engine takes samples as before
    };

    // Held samples weighed per tick at most (see the README for their cost).
    static constexpr std::size_t kReplayPerTick = 6000;

    GateCatchUp(WeighingEngine& engine, const Settings& settings, CatchUpHost& host,
                const LinkContinuity& link);

    // Room for this many samples (0: heldSampleCapacity of the settings' Fadc), allocated
    // when samples are next held.
    void setCapacity(std::size_t samples) { capacity_ = samples; }
    std::size_t capacity() const;

    // At the start of every tick, with the gate as the windows stand now.
    void tick(bool gateOpen, uint32_t nowMs);
    // Every received sample, instead of WeighingEngine::feed; a calibration mark restarts
    // the sample count (`SmpCnt`) before it, here, at its place among the held samples.
    void feed(const std::array<uint16_t, 8>& codes, uint32_t nowMs, bool calibrationMark = false);

    // Whether the engine follows the live samples, so that the tick's own end-of-train test
    // (and a paused replay's refresh of it) apply.
    bool live() const { return mode_ == Mode::Live || mode_ == Mode::Waiting; }
    Mode mode() const { return mode_; }
    std::size_t held() const { return held_.size(); }
    // The red line: a vehicle passes while the gate is closed (or passed, and is held).
    bool noticeShown() const;

    // Weighs everything held now, whatever the gate (the program closes, the operator ends
    // the train).
    void finishNow();
    // Before the port opens (again): held samples being weighed are weighed now; behind the
    // closed gate the restart is held with the next sample and made there when it is weighed.
    void beforePortOpens();
    // Before a replay of a recording starts or stops: held samples being weighed are weighed
    // now, samples still held behind the gate are lost.
    void beforeStreamBreak();
    // Whether the train the engine completes next began on held samples; asking clears it.
    bool takeLateMark();

  private:
    void hold(uint32_t nowMs);
    void holdSample(const HeldSample& sample);
    void feedEngine(const HeldSample& sample);
    void slide();
    void giveUp(NotWeighedReason reason);
    void linkBroke();
    void gateOpened();
    void startCatchUp();
    void replay(std::size_t budget);
    void replayOne(const HeldSample& sample);
    void drained();
    void watch(uint32_t nowMs);
    void letGoOfFrozenTrain(uint32_t nowMs);
    bool somethingHeld() const;
    std::size_t slideStep() const;

    WeighingEngine& engine_;
    const Settings& settings_;
    CatchUpHost& host_;
    const LinkContinuity& link_;
    Mode mode_ = Mode::Live;
    HeldSamples held_;
    std::size_t capacity_ = 0;
    WeighingEngine::SignalState head_;   // the engine before the first held sample
    WeighingEngine::SignalState spare_;  // ... and slideStep() samples later
    bool headIdle_ = true;               // no train in progress at the first held sample
    PassageWatch watch_;
    ReplayObserver replayObserver_;
    WallTime wallBase_{};  // the wall clock at the tick msBase_, for the replayed wagons
    uint32_t msBase_ = 0;
    uint32_t lastMs_ = 0;  // of the last tick or sample
    WallTime replayWall_{};
    uint64_t linkMark_ = 0;
    bool gateOpen_ = true;
    bool lateInProgress_ = false;
    bool frozenLetGo_ = false;  // the windows were told the frozen train has ended
    bool portOpened_ = false;   // the next held sample comes after the port opened again
};

}  // namespace zv
