#pragma once

#include <string>
#include <vector>

#include "commissioning/vehicle_kinds.h"
#include "settings/settings.h"

namespace zv {

// Fewest load samples a bogie window must give to count as weighing.
inline constexpr int kMinWindowSamples = 3;
// A settled platform filter is within this share of a load step.
inline constexpr double kSettlingTolerance = 0.005;

struct CheckLine {
    enum class Level { Ok, Note, Fail };
    Level level = Level::Ok;
    std::string text;  // Russian, for the engineer
};

// What the scale makes of one kind of vehicle.
struct KindVerdict {
    VehicleKindSpec kind;
    bool countingHolds = true;       // on every platform, in both directions
    int failingPlatform = 0;         // 1 or 2 when the counting fails there (order of the settings)
    bool bothPlatformWeight = true;  // Wt12 exists (two platforms)
    double limitKmh = 0;             // weighed up to this speed (0: never); peak-weighed: Vmax
    bool weighsAtVmax = false;
};

struct WeighingCheck {
    bool passes = false;  // every four- and six-axle wagon weighs up to Vmax, filters settled
    std::vector<KindVerdict> kinds;
    std::vector<CheckLine> lines;
    int settlingTflt = 1;  // lowest tflt that covers the platform filter's settling
    int largestTflt = 0;   // largest tflt that weighs every wagon kind at Vmax; 0: none
    int recommendedTflt = 1;
};

// Judges the weighing windows of the scale the settings describe (Npl, Nadc, Lp1, Lp2, Lp3,
// Fadc, Fflt, Fflt_, tflt, Vmax) for the given vehicle kinds. With `WeighMethod` 1 the kinds
// are judged for the weighing by axle loads instead: it needs no bogie window and no tflt,
// only a stretch at each border to a neighbour in which a platform carries one of the two
// axles next to it and not the other, long enough for the samples left out around both
// crossings and three more (the verdict's limitKmh; `passes` then needs every kind).
WeighingCheck checkWeighing(const Settings& settings,
                            const std::vector<VehicleKindSpec>& kinds = standardVehicleKinds());

// Samples of one bogie window of `travelMm` at `kmh` after the settling delay and the time
// the axle detector needs to confirm and to arm an edge; may be negative.
double windowSamples(const Settings& settings, double travelMm, double kmh);

}  // namespace zv
