#include "verify/reference_trains.h"

namespace zv {

std::vector<ReferenceVehicle> referenceTrain(const std::vector<VehicleKindSpec>& kinds,
                                             bool locomotiveAtHead) {
    std::vector<ReferenceVehicle> wagons, locomotives;
    for (const VehicleKindSpec& k : kinds) {
        if (k.locomotive) {
            locomotives.push_back({k.id, k, true});
            continue;
        }
        wagons.push_back({k.id + " empty", k, false});
        wagons.push_back({k.id + " loaded", k, true});
    }
    std::vector<ReferenceVehicle> train;
    if (locomotiveAtHead) train = locomotives;
    train.insert(train.end(), wagons.begin(), wagons.end());
    if (!locomotiveAtHead) train.insert(train.end(), locomotives.begin(), locomotives.end());
    return train;
}

VehicleDescription simulatedVehicle(const ReferenceVehicle& r) {
    VehicleDescription v;
    v.kind = r.kind.locomotive ? VehicleKind::Locomotive : VehicleKind::Wagon;
    v.axles = r.kind.dims.axles;
    v.length = r.kind.dims.length;
    v.wagonBase = r.kind.dims.wagonBase;
    v.bogieBase = r.kind.dims.bogieBase;
    v.groupSpan = r.kind.dims.groupSpan;
    double mass = r.loaded ? r.kind.loadedMass : r.kind.emptyMass;
    v.frontBogieMass = v.rearBogieMass = mass / 2;
    return v;
}

}  // namespace zv
