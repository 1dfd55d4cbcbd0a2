#pragma once

#include <cstdint>

#include "engine/engine_observer.h"
#include "engine/stored_train.h"
#include "engine/train_state.h"
#include "settings/settings.h"

namespace zv {

// Without a leading locomotive, the last wagon and the one before it are checked for
// locomotives at the tail of the train.
void markTailLocomotives(TrainState& t, EngineObserver& observer);

// The rows `StoreTrain` writes for wagons 0 .. count-1: weight rounded to `Did`, direction
// code, result values clamped to the range of the table's small integers.
StoredTrain StoreTrainRows(const TrainState& t, const Settings& s, int32_t count);

// Finishes the train in progress: tail locomotives, its rows, and back to idle.
StoredTrain TrainEnd(TrainState& t, const Settings& s, EngineObserver& observer);

}  // namespace zv
