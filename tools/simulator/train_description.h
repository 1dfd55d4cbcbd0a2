#pragma once

#include <string>
#include <vector>

namespace zv {

enum class VehicleKind { Wagon, Locomotive };

// One vehicle of a simulated train. Lengths in mm, masses in kg; "front" and "rear" follow the
// order in which the vehicle passes the scale.
struct VehicleDescription {
    VehicleKind kind = VehicleKind::Wagon;
    int axles = 4;            // 4, 6 or 8
    double length = 13920;    // over the couplers
    double wagonBase = 8650;  // between the centres of the two bogies
    double bogieBase = 1850;  // between neighbouring axles of a bogie (of a two-axle bogie with 8)
    double groupSpan = 0;     // 8 axles: between the centres of the two two-axle bogies of a group
    double frontBogieMass = 30000;
    double rearBogieMass = 30000;
    double transverseOffset = 0;  // load shifted toward the rail of inputs 1 and 3 of a platform

    double mass() const { return frontBogieMass + rearBogieMass; }
};

// Speed changes linearly with the distance travelled, from the first axle reaching the scale
// to the last axle leaving it.
struct SpeedProfile {
    double startKmh = 8;
    double endKmh = 8;
};

struct TrainDescription {
    std::vector<VehicleDescription> vehicles;  // in the order of passage
    int direction = +1;                        // +1: reaches slot 0 first
    SpeedProfile speed;
    double emptySeconds = 3;  // of empty scale before the first axle and after the last
};

// A typical wagon of 4, 6 or 8 axles; imbalance is the front bogie minus the rear bogie.
VehicleDescription makeWagon(int axles, double mass, double imbalance = 0);
// A six-axle locomotive (bogies of three axles 1950 mm apart, bogie centres 8600 mm apart).
VehicleDescription makeLocomotive(double mass);

// Empty when the train can be simulated, otherwise what is wrong with it.
std::string checkTrain(const TrainDescription& train);

// Where an axle sits in the train and what it carries.
struct AxlePoint {
    double offset = 0;  // mm behind the front of the train
    double load = 0;    // kg
    double transverseOffset = 0;
    int vehicle = 0;  // index into TrainDescription::vehicles
};

// Offsets of the axles of one vehicle from its front coupler, in the order of passage.
std::vector<double> axleOffsets(const VehicleDescription& vehicle);
std::vector<AxlePoint> axleLayout(const TrainDescription& train);

}  // namespace zv
