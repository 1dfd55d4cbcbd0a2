#pragma once

#include <cstdint>
#include <span>

#include "engine/axle_load_record.h"
#include "engine/body_bounce.h"

namespace zv {

// Axles [from, to) of a passage.
struct AxleSpan {
    int32_t from = 0;
    int32_t to = 0;
    int32_t size() const { return to - from; }
};

// The stretches of one platform that go into a solution, and its load when empty.
struct PlatformEquations {
    std::span<const LoadSegment> segments;
    double zero = 0.0;
};

// Least stretch samples for an equation, and the most unknowns of one solution: a wagon
// and a neighbour of the most axles on each side.
inline constexpr int32_t kMinSegmentSamples = 2;
inline constexpr int32_t kMaxUnknownAxles = 3 * kMaxAxles;
// The axles of a bogie share its load about equally (its bolster sits between them): each
// pair of neighbouring axle groups of one bogie adds the equation "same load per axle" with
// the weight of this many samples. It lets a weight average over the whole stay of the
// bogie on the platforms instead of over the moments of its own axles' crossings only, where
// a body's bounce counts in full.
inline constexpr double kBogieShareSamples = 100;

struct AxleLoadSolution {
    // The wagon's weight follows from the equations (it is no blend of unknowns).
    bool estimable = false;
    // Its first and last axles stood apart from the neighbours' at some time.
    bool apart = true;
    double wagon = 0.0;       // kg, the sum of its axle loads
    double firstBogie = 0.0;  // kg, its first half of axles in the order of passage
    // Samples the weight is worth: the weight's variance is the noise's over this many.
    double samples = 0.0;
    int32_t fewestGroupSamples = 0;  // of the wagon's axle groups, the least seen one
    double rmsResidual = 0.0;        // kg per sample, of the fitted stretches
    double rmsLoad = 0.0;            // kg per sample, of the same stretches
};

// Every sample of a stretch is an equation: the loads of the axles on the platform add up
// to its net load. Solves those of the stretches that lie within `window` by least squares;
// axles that never stand apart from each other are one unknown, their group.
// bogies: the bogie of each axle of the window (from window.from), -1 where not known; the
// axles of one bogie are held to carry about the same load (see kBogieShareSamples).
// bounce: the bodies of the window's axles, whose bounce at its frequency is solved with the
// loads.
AxleLoadSolution solveWagon(std::span<const PlatformEquations> platforms, AxleSpan wagon,
                            AxleSpan window, std::span<const int32_t> bogies = {},
                            const BodyBounce& bounce = {});

// What a wagon's solution is made of.
struct WagonEquations {
    std::span<const PlatformEquations> platforms;
    AxleSpan wagon, window;
    std::span<const int32_t> bogies, bodies;
};

// The bodies' frequency of the range that leaves the least residual in the solutions of these
// wagons (the first kBodyBounceSearchWagons of them); 0 when none can be solved.
double bodyBounceFrequency(std::span<const WagonEquations> wagons, double sampleHz);

}  // namespace zv
