#pragma once

#include <string>
#include <vector>

#include "commissioning/vehicle_kinds.h"
#include "simulator/train_description.h"

namespace zv {

// A vehicle of a reference train: its kind and whether it runs empty or loaded.
struct ReferenceVehicle {
    std::string row;  // the row of the table it counts in: "4ax empty", "loco"
    VehicleKindSpec kind;
    bool loaded = false;
};

// Every wagon kind empty and then loaded, behind a locomotive (head) or before it (tail);
// an empty wagon ahead of a loaded one is where a weighing by the maximum goes wrong.
std::vector<ReferenceVehicle> referenceTrain(const std::vector<VehicleKindSpec>& kinds,
                                             bool locomotiveAtHead);

// The simulator's vehicle of the same dimensions and mass.
VehicleDescription simulatedVehicle(const ReferenceVehicle& vehicle);

}  // namespace zv
