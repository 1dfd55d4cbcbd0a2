#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commissioning/vehicle_kinds.h"
#include "settings/settings.h"
#include "simulator/signal_model.h"
#include "verify/zero_misses.h"

namespace zv {

struct VerifyOptions {
    std::vector<double> speeds;  // km/h; empty: from 3 km/h up to Vmax
    int runs = 3;                // passages of each train at each speed and direction
    double accuracyClass = 0.5;
    uint64_t seed = 1;  // of the first passage; each further passage takes the next
    // A realistic signal unless told otherwise: noise per input and sample, each axle's
    // oscillation after it rolls onto a platform (a share of its load at 4 Hz, dying away in
    // 0.25 s) and each body's bounce on its springs (a share of its load at bodyHz).
    double noiseKg = 10;
    double bounceShare = 0.03;
    double bodyShare = 0.01;
    double bodyHz = SignalModel{}.bodyHz;
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
    int withinClass = 0;             // weighed within the required class's limit
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

// "noise 10 kg, axle oscillation 3 % at 4 Hz, body bounce 1 % at 1.5 Hz", or "ideal".
std::string signalText(const VerifyOptions& options);

// The default speeds: 3 km/h, then every 2 km/h, and Vmax.
std::vector<double> defaultSpeeds(int Vmax);

// Reference trains (every kind empty and loaded, the locomotive at the head and at the
// tail) in both directions at each speed, each `runs` times with its own seed, simulated
// over the scale the settings describe and weighed by the engine as the program weighs.
VerifyResult runVerification(const Settings& settings, const VerifyOptions& options);

}  // namespace zv
