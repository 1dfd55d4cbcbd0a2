#pragma once

#include <initializer_list>

namespace zv {
class RecordsDatabase;
}

namespace zv::test {

// Simulates a train of four-axle wagons of these masses (kg) crossing a two-platform scale,
// weighs it in motion sample by sample and stores it as the main window does. Returns the
// train number; the train is selected in the train list.
int replayTrain(RecordsDatabase& records, std::initializer_list<double> masses);

}  // namespace zv::test
