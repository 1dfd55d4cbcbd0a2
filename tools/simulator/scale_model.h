#pragma once

#include <array>
#include <string>

#include "settings/settings.h"

namespace zv {

// The platforms in the track and how an axle's load reaches the converter inputs.
// Track position x (mm) runs from the end of slot 0, where a train in direction +1 arrives,
// over the first platform, the intermediate element and the second platform.
class ScaleModel {
  public:
    explicit ScaleModel(const Settings& settings);

    int platforms() const { return platforms_; }
    int inputsPerPlatform() const { return inputs_; }
    double length() const;
    double platformStart(int p) const { return start_[p]; }
    double platformLength(int p) const { return length_[p]; }

    // Whether the configuration fills this slot (the frame decoder leaves the others at 0).
    bool slotUsed(int slot) const;

    // Adds the share of each input of a load standing at track position x; a load off the
    // platforms adds nothing.
    void addLoad(double x, double load, double transverseOffset,
                 std::array<double, 8>& slotLoads) const;

    // The platform under x, or -1.
    int platformAt(double x) const;

  private:
    int platforms_;
    int inputs_;
    std::array<double, 2> start_{};
    std::array<double, 2> length_{};
    std::array<double, 2> railGauge_{};
};

// Empty when the settings describe a scale the simulator can model, otherwise the reason.
std::string checkScaleSettings(const Settings& settings);

}  // namespace zv
