#pragma once

#include <istream>

#include "simulator/train_description.h"

namespace zv {

// Reads a train description, one statement per line, '#' starts a comment:
//   direction +1|-1
//   speed KMH [KMH_AT_END]
//   empty SECONDS
//   locomotive [mass=KG] [FIELD=VALUE ...]
//   wagon axles=4|6|8 mass=KG [FIELD=VALUE ...]
// Fields of a vehicle: imbalance (front minus rear bogie, kg), offset (transverse, mm),
// length, base, bogiebase, span (mm) and count (that many equal vehicles).
// Throws std::runtime_error naming the line of the first mistake; the train is checked too.
TrainDescription readTrainFile(std::istream& in);

}  // namespace zv
