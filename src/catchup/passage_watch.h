#pragma once

#include <cstdint>

#include "engine/weighing_engine.h"
#include "settings/settings.h"

namespace zv {

// Watches the platforms while the axle detector does not run. An axle edge is what the
// detector arms on (a platform-end input moving by more than `Axtr1` over two samples); a
// passage is a load of more than a tonne on the scale with an edge within `tTrEnd`, and it
// ends once the scale is empty and no edge has come for `tTrEnd`. A wagon standing still on
// the scale starts no passage.
class PassageWatch {
  public:
    enum class Change { None, Started, Ended };

    static constexpr double kVehicleKg = 1000.0;

    void reset();
    // After every sample the engine took; nowMs is the sample's tick.
    Change step(const WeighingEngine& engine, const Settings& settings, uint32_t nowMs);
    // Ends a passage still under way (the gate opened); true when there was one.
    bool cut();

    bool passing() const { return passing_; }
    // An axle edge or a passage since reset().
    bool edgeSeen() const { return edgeSeen_; }
    bool passageSeen() const { return passageSeen_; }
    int32_t maxLoadKg() const { return static_cast<int32_t>(maxLoad_); }

  private:
    static bool edge(const WeighingEngine& engine, const Settings& settings);
    static double load(const WeighingEngine& engine, const Settings& settings);

    bool edgeSeen_ = false;
    bool passageSeen_ = false;
    bool passing_ = false;
    uint32_t lastEdgeMs_ = 0;
    double maxLoad_ = 0.0;
};

}  // namespace zv
