#include "simulator/train_description.h"

#include <cmath>

#include "commissioning/vehicle_kinds.h"

namespace zv {

VehicleDescription makeWagon(int axles, double mass, double imbalance) {
    VehicleDescription w;
    w.axles = axles;
    if (axles == 6) {
        w.length = 16400;
        w.wagonBase = 11000;
        w.bogieBase = 1750;
    } else if (axles == 8) {
        w.length = 20240;
        w.wagonBase = 11500;
        w.bogieBase = 1850;
        w.groupSpan = 2500;
    }
    w.frontBogieMass = (mass + imbalance) / 2;
    w.rearBogieMass = (mass - imbalance) / 2;
    return w;
}

VehicleDescription makeLocomotive(double mass) {
    VehicleDescription loco;
    loco.kind = VehicleKind::Locomotive;
    loco.axles = 6;
    loco.length = 17000;
    loco.wagonBase = 8600;
    loco.bogieBase = 1950;
    loco.frontBogieMass = mass / 2;
    loco.rearBogieMass = mass / 2;
    return loco;
}

namespace {

VehicleDimensions dimensions(const VehicleDescription& v) {
    return {v.axles, v.length, v.wagonBase, v.bogieBase, v.groupSpan};
}

// Half the length of one bogie from its first to its last axle.
double bogieHalfSpan(const VehicleDescription& v) {
    return bogieSpan(dimensions(v)) / 2;
}

std::string checkVehicle(const VehicleDescription& v) {
    if (v.axles != 4 && v.axles != 6 && v.axles != 8) return "axles must be 4, 6 or 8";
    if (v.bogieBase <= 0 || v.wagonBase <= 0 || v.length <= 0) return "lengths must be positive";
    if (v.axles == 8 && v.groupSpan <= v.bogieBase)
        return "the span of an eight-axle group must exceed the bogie base";
    if (v.wagonBase <= 2 * bogieHalfSpan(v)) return "the bogies overlap: wagon base too short";
    if (v.length <= v.wagonBase + 2 * bogieHalfSpan(v)) return "the axles reach past the couplers";
    if (v.frontBogieMass < 0 || v.rearBogieMass < 0) return "bogie masses cannot be negative";
    if (std::abs(v.transverseOffset) > 500) return "transverse offset beyond 500 mm";
    return {};
}

}  // namespace

std::string checkTrain(const TrainDescription& train) {
    if (train.vehicles.empty()) return "the train has no vehicle";
    if (train.direction != 1 && train.direction != -1) return "direction must be +1 or -1";
    for (double kmh : {train.speed.startKmh, train.speed.endKmh})
        if (!(kmh >= 0.5 && kmh <= 50)) return "speed must be within 0.5-50 km/h";
    if (!(train.emptySeconds >= 0 && train.emptySeconds <= 600))
        return "empty time must be within 0-600 s";
    for (size_t i = 0; i < train.vehicles.size(); ++i) {
        std::string problem = checkVehicle(train.vehicles[i]);
        if (!problem.empty()) return "vehicle " + std::to_string(i + 1) + ": " + problem;
    }
    return {};
}

std::vector<double> axleOffsets(const VehicleDescription& v) {
    return axleOffsets(dimensions(v));
}

std::vector<AxlePoint> axleLayout(const TrainDescription& train) {
    std::vector<AxlePoint> axles;
    double front = 0;
    for (size_t i = 0; i < train.vehicles.size(); ++i) {
        const VehicleDescription& v = train.vehicles[i];
        std::vector<double> offsets = axleOffsets(v);
        size_t perBogie = offsets.size() / 2;
        for (size_t k = 0; k < offsets.size(); ++k) {
            double bogieMass = k < perBogie ? v.frontBogieMass : v.rearBogieMass;
            axles.push_back({front + offsets[k], bogieMass / perBogie, v.transverseOffset,
                             static_cast<int>(i)});
        }
        front += v.length;
    }
    return axles;
}

}  // namespace zv
