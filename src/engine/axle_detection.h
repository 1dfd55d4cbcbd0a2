#pragma once

#include <array>
#include <cstdint>

#include "engine/axle_load_method.h"
#include "engine/conditioning.h"
#include "engine/edge_detection.h"
#include "engine/engine_observer.h"
#include "engine/sample_filter.h"
#include "engine/train_state.h"
#include "engine/wall_time.h"
#include "settings/settings.h"

namespace zv {

// `Axle`: train start and direction, the four edge detectors, grouping of axles into
// bogies and wagons by counting, collection of the platform loads, and the calls of the
// weighing steps and `WagonEnd` as axles arrive and leave.
class AxleDetection {
  public:
    AxleDetection(TrainState& state, const Settings& settings, const SampleFilter& filter,
                  const Conditioning& conditioning, const WallClock& wallClock);

    void setObserver(EngineObserver& observer) { observer_ = &observer; }
    // Where the platform loads and the axle crossings go for the weighing by axle loads.
    void setAxleLoads(AxleLoadMethod& method) { axleLoads_ = &method; }

    // One sample; nowMs becomes `LastAxleTick` while a detector is armed.
    void Axle(uint32_t nowMs);

  private:
    // Converter slots of the four detectors and the load quantities of the two platforms
    // for the current direction.
    struct Layout {
        int entry1, exit1, entry2, exit2;
        int q1, q2;
    };

    // The counters of one platform, so that both platforms share the same steps.
    struct Track {
        EdgeDet& entry;
        EdgeDet& exit;
        bool& nextWagon;
        int32_t& wagonAxles;
        int32_t& wagonIdx;
        std::array<AxleRec, kWagonSlots>& recs;
        uint32_t& settleUntil;
        double& acc;
        int32_t& cnt;
        bool& peakShared;
    };
    enum class Departure { Other, FirstAxle, LastAxle };

    Layout layout() const;
    Track track1();
    Track track2();
    double u(int slot, int k) const { return filter_.ChFlt(slot, 5, k); }
    double netLoad(int q, int k) const { return filter_.PlW(q, 3, k) - conditioning_.CurZero()[q]; }
    uint32_t settleLimit() const;

    void detectTrainStart();
    void runDetectors();
    bool step(EdgeDet& det, EdgeKind kind, int slot, int q);
    void onEntry1();
    void onEntry2();
    void onExit1();
    void onExit2();
    bool recordArrival(Track p);
    Departure recordDeparture(Track p);
    void completeWagon(Track p);
    void finishWagon();
    void collectLoads();
    void collectPlatform(Track p, int q);
    void collectBothPlatforms();
    void recordAxleLoads();
    void housekeeping(uint32_t nowMs);
    void showDiagnostics();

    TrainState& t_;
    const Settings& s_;
    const SampleFilter& filter_;
    const Conditioning& conditioning_;
    const WallClock& wallClock_;
    EngineObserver* observer_;
    AxleLoadMethod* axleLoads_ = nullptr;
    Layout layout_{};
    bool two_ = false;
};

}  // namespace zv
