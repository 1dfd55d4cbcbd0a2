#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/stored_train.h"
#include "engine/weighing_engine.h"
#include "settings/settings.h"

namespace zv::test {

// A rail vehicle: axle positions from its front and the load of each axle.
struct SimWagon {
    std::vector<double> axles;  // mm from the front of the vehicle
    std::vector<double> loads;  // kg
    double length = 0.0;        // mm, front to the next vehicle's front

    double mass() const;
};

// Four axles, bogie base 1850 mm, bogie centres 8650 mm apart.
SimWagon freightWagon(double mass);
// Six axles in two bogies of three, 2000 mm apart, bogie centres 10000 mm apart.
SimWagon locomotive(double mass);
// Eight axles: two groups of two two-axle bogies (1850 mm) 2500 mm apart, group centres
// 11500 mm apart, 20240 mm over the couplers: the tank wagon of an oil terminal.
SimWagon eightAxleWagon(double mass);
// A deliberately odd vehicle: two groups of closely spaced axles.
SimWagon oddVehicle(int frontAxles, int rearAxles, double mass);

// How the train crosses the scale.
struct SimRun {
    int direction = 1;
    double speed = 30.0;   // mm per sample
    int idleBefore = 300;  // samples of empty platforms before the train
    int idleAfter = 200;
    double driftKg = 100.0;  // load of each input with the platforms empty
    // Each vehicle's body bounces on its springs with its own phase: the load of all its axles
    // goes up and down by this share, at this frequency (samples at Fadc).
    double bodyShare = 0.0;
    double bodyHz = 1.5;
};

// Settings of a scale with two inputs per platform, 2 kg per code, short settling delay.
Settings syntheticSettings(bool twoPlatforms);

// Converter codes of the crossing, one entry per sample, lever rule between the two ends.
std::vector<std::array<uint16_t, 8>> crossing(const Settings& s, const SimRun& run,
                                              const std::vector<SimWagon>& train);

// Feeds the samples 20 ms apart and ends the train after the last one; every train the
// engine handed over on the way comes first.
std::vector<StoredTrain> weigh(WeighingEngine& engine,
                               const std::vector<std::array<uint16_t, 8>>& samples);

}  // namespace zv::test
