#pragma once

#include <ostream>
#include <vector>

#include "simulator/train_simulator.h"

namespace zv {

// Header and one line per vehicle, in the units of a stored train row: kg, mm and the speed
// in tenths of km/h. WeiL is the bogie at the +1 end minus the other, as stored.
// Vehicle,Kind,Axle,Weight,Bogie1,Bogie2,BaseW,BaseB,Speed,WeiL,Offset
void writeTruthCsv(std::ostream& out, const std::vector<TruthRow>& rows, int direction);

// The bogie difference a stored row should carry for this vehicle.
double expectedBogieDifference(const TruthRow& row, int direction);

}  // namespace zv
