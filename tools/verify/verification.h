#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commissioning/vehicle_kinds.h"
#include "settings/settings.h"
#include "verify/zero_misses.h"

namespace zv {

struct VerifyOptions {
    std::vector<double> speeds;  // km/h; empty: from 3 km/h up to Vmax
    int runs = 3;                // passages of each train at each speed and direction
    double accuracyClass = 0.5;
    uint64_t seed = 1;  // of the first passage; each further passage takes the next
    double noiseKg = 3;
    double bounceShare = 0.02;
    bool allKinds = false;  // eight-axle wagons and locomotives count for the verdict too
    std::vector<VehicleKindSpec> kinds = standardVehicleKinds();
};

// One vehicle kind, empty or loaded, at one speed.
struct VerifyRow {
    std::string kind;  // "4ax empty", "loco"
    double speedKmh = 0;
    int passages = 0;
    int weighed = 0;                 // stored as weighed (a locomotive: recognised as one)
    double meanErrorPercent = 0;     // of the weighed ones, of the true mass
    double largestErrorPercent = 0;  // the same, largest in magnitude
    std::optional<double> classMet;  // none when a passage was not weighed
    double speedErrorKmh = 0;        // largest, of the weighed ones
    double baseErrorMm = 0;
    double bogieBaseErrorMm = 0;
    bool counts = false;  // decides the verdict
    bool meets = false;   // weighed every time and within the required class
};

struct VerifyResult {
    std::vector<VerifyRow> rows;
    bool passes = false;
    long passages = 0;
    ZeroMisses zeroMisses;  // passages left out of the rows: no zero before their train
};

// The default speeds: 3 km/h, then every 2 km/h, and Vmax.
std::vector<double> defaultSpeeds(int Vmax);

// Reference trains (every kind empty and loaded, the locomotive at the head and at the
// tail) in both directions at each speed, each `runs` times with its own seed, simulated
// over the scale the settings describe and weighed by the engine as the program weighs.
VerifyResult runVerification(const Settings& settings, const VerifyOptions& options);

}  // namespace zv
