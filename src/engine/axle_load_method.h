#pragma once

#include <cstdint>

#include "engine/axle_load_record.h"
#include "engine/train_state.h"
#include "settings/settings.h"

namespace zv {

// `WeighMethod` 1: the weighing by axle loads. Settings record 0 is the defined weighing.
inline constexpr int32_t kWeighByAxleLoads = 1;
inline bool weighsByAxleLoads(const Settings& s) {
    return s.WeighMethod == kWeighByAxleLoads;
}

// Samples left out on each side of an axle's crossing of a platform's end, and the fewest
// samples a weight must be worth.
int axleLoadGuard(const Settings& s);
// An axle that rolls onto a platform swings on its springs, and its first swing, pressing
// down, does not average out: the samples of this time after an arrival are left out too.
inline constexpr double kAxleLandingSeconds = 0.04;
int axleLandingSamples(const Settings& s);
inline constexpr double kAxleLoadMinSamples = 3;
// A stretch of a platform's load is kept in pieces of this time, short against a body's
// bounce period, so that the bounce can be solved for.
inline constexpr double kAxleLoadPieceSeconds = 0.4;
int axleLoadPiece(const Settings& s);

// The weighing by axle loads: while a train passes, the load of each platform is recorded
// with the axles standing on it; when the train (or a part of a long one) is handed over,
// each wagon is solved together with its neighbours and its weights and note replace those
// of the defined weighing. Speed, bases and axle counts stay as the axle timing gives them.
//
// What a stored row holds under this method: `Weight` the sum of the wagon's axle loads;
// `WeiL` its first half of axles minus the second (with the sign of direction +1); `Wei1`
// the solution of both platforms' equations together (0 with one platform), `Wei2` and
// `Wei3` the solutions of the second and of the first platform alone (0 where one
// platform's equations do not fix the weight).
class AxleLoadMethod {
  public:
    // A passage starts: recorded only when the settings ask for this method.
    void begin(const Settings& s);
    bool active() const { return active_; }

    void edge(int platform, bool entry, uint32_t peakSample) {
        if (active_) record_.edge(platform, entry, peakSample);
    }
    void sample(const TrainState& t, double load1, double load2) {
        if (active_) record_.sample(t, load1, load2);
    }

    // The train has ended: the waiting samples are handled and its `count` completed wagons
    // weighed and classified anew.
    void finish(TrainState& t, const Settings& s, int32_t count);
    // The first `count` wagons go as a train of their own; the passage goes on.
    void handOver(TrainState& t, const Settings& s, int32_t count);

    const AxleLoadRecord& record() const { return record_; }

  private:
    void weighWagons(TrainState& t, const Settings& s, int32_t count);

    AxleLoadRecord record_;
    bool active_ = false;
    int32_t axleBase_ = 0;    // passage number of the first axle of wagon 0
    int32_t axlesBefore_ = 0;  // axles of the wagon before wagon 0 (an earlier part)
};

}  // namespace zv
