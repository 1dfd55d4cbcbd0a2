#pragma once

#include <array>
#include <cstdint>

#include "engine/engine_observer.h"
#include "engine/train_state.h"
#include "engine/wall_time.h"
#include "settings/settings.h"

namespace zv {

// Weight of the both-platform measurement against 10 for each single-platform one.
inline constexpr int32_t BothWeightFactor = 15;

// Note codes of a weighed wagon.
inline constexpr int32_t kNoteWeighed = 1;
inline constexpr int32_t kNoteLocomotive = 3;
inline constexpr int32_t kNoteWeightsDisagree = 4;
inline constexpr int32_t kNoteOutOfRange = 5;
inline constexpr int32_t kNoteAxleCountsDiffer = 6;

// Speed and bases of a wagon from its axle times.
struct WagonTiming {
    double v = 0.0;  // mm per sample; 0 when the time sum is 0
    int32_t WagonBase = 0;
    int32_t BogieBase = 0;
    int64_t G = 0;  // time sum of the bogie base
};

// n is the wagon's axle count; times beyond the eighth axle were not recorded, so the
// timing uses at most eight. firstOfTrain leaves out the train's first arrival.
WagonTiming MeasureWagon(const AxleRec& R1, const AxleRec& R2, int32_t n, bool twoPlatforms,
                         bool firstOfTrain, const Settings& s);

int32_t speed10(double v, int32_t Fadc);

// The two-platform choice among Wt1, Wt2 and Wt12 (0 = not measured).
struct FinalWeight {
    int32_t WtFinal = 0;
    bool disagree = false;  // note 4
    int32_t tol = 0;
    int32_t firstFactor = 0;     // factor of the first measurement used
    std::array<bool, 3> used{};  // Wt1, Wt2, Wt12 went into WtFinal
};
FinalWeight SelectFinalWeight(int32_t Wt1, int32_t Wt2, int32_t Wt12);

// Only positive bogie differences count; the mean of those, 0 when there is none.
int32_t CombineBogieDiffs(int32_t Diff1, int32_t Diff2);

// Six axles, heavier than 80 t, and a long bogie base or a short wagon base.
bool looksLikeLocomotive(const ResultRec& r, int32_t WtFinal);

// The note of wagon i from its `Note` so far (1, or 4 for a doubtful weighing), its axle
// counts, timing and final weight: 6, 4, 5, a leading locomotive 3, and 4 for a weight of
// 0 or beyond the scale's overload that would otherwise be stored as weighed.
void ClassifyWagon(TrainState& t, int32_t i, const Settings& s);

// Finishes the wagon that has just left the last platform.
void WagonEnd(TrainState& t, const Settings& s, WallTime now, EngineObserver& observer);

}  // namespace zv
