#pragma once

#include <cstdint>

namespace zv {

// What the load cells and the converter add to the pure lever-rule loads.
struct SignalModel {
    double noiseKg = 3;         // standard deviation per input and sample
    double deadLoadKg = 300;    // own weight of each platform, above the calibration zero
    double bounceShare = 0.02;  // amplitude of an axle's bounce, as a share of its load
    double bounceHz = 4;
    double bounceDecaySeconds = 0.25;
    // Every vehicle's body bounces on its springs all the way over the scale, each with its
    // own phase: the load of all its axles goes up and down by this share.
    double bodyShare = 0;
    double bodyHz = 1.5;
    uint64_t seed = 1;  // the same seed gives the same samples
};

}  // namespace zv
