#pragma once

#include <string>
#include <vector>

namespace zv {

// The lengths of a vehicle that decide how the scale sees it, in mm. "Bogie" is the set of
// axles at one end: two or three axles, or the two two-axle bogies of an eight-axle wagon.
struct VehicleDimensions {
    int axles = 4;            // 4, 6 or 8
    double length = 13920;    // over the couplers
    double wagonBase = 8650;  // between the centres of the two bogies
    double bogieBase = 1850;  // between neighbouring axles of a bogie (of a two-axle bogie with 8)
    double groupSpan = 0;     // 8 axles: between the centres of the two two-axle bogies of a group
};

// Offsets of the axles from the front coupler, in the order of passage.
std::vector<double> axleOffsets(const VehicleDimensions& v);
// From the first to the last axle of one bogie.
double bogieSpan(const VehicleDimensions& v);

// A kind of vehicle a yard sees, with the dimensions assumed for it and its masses.
struct VehicleKindSpec {
    std::string id;    // short Latin name for tables and options: "4ax", "loco"
    std::string name;  // as the engineer reads it: "четырёхосный вагон"
    VehicleDimensions dims;
    double emptyMass = 24000;   // kg
    double loadedMass = 88000;  // kg; a locomotive has one mass, given in both
    bool locomotive = false;
};

// Four-axle wagons of the usual and of a short base, six- and eight-axle wagons and a
// six-axle locomotive.
std::vector<VehicleKindSpec> standardVehicleKinds();

}  // namespace zv
