#pragma once

#include "engine/stored_train.h"

namespace zv {

class RecordsDatabase;

// Appends the rows of a finished train to Trains under the next train number, in one
// transaction with a savepoint per wagon (a refused wagon is skipped, the others stay) and
// one durable commit; then removes the static rows of the previous number and selects the
// new train. Returns the train number, or 0 when the train has no rows.
int StoreTrain(RecordsDatabase& records, const StoredTrain& train);

}  // namespace zv
