#pragma once

#include <cstdint>

#include "engine/engine_observer.h"
#include "engine/train_state.h"
#include "settings/settings.h"

namespace zv {

// A platform's wagon weight below this counts as not measured.
inline constexpr int32_t MinWagonWeight = 1500;

// Mean of an accumulator scaled by `kd` (millionths); 0 when nothing was collected.
int32_t meanWeight(double acc, int32_t cnt, int32_t kd);
// Maximum held in an accumulator (eight-axle wagons) scaled by `kd`.
int32_t peakWeight(double acc, int32_t kd);

// First bogie and whole wagon on the first and on the second platform.
void WeiBogie0(TrainState& t, const Settings& s, EngineObserver& observer);
void WeiWagon0(TrainState& t, const Settings& s, EngineObserver& observer);
void WeiBogie1(TrainState& t, const Settings& s, EngineObserver& observer);
void WeiWagon1(TrainState& t, const Settings& s, EngineObserver& observer);

}  // namespace zv
