#pragma once

#include <array>

#include "commissioning/vehicle_kinds.h"
#include "settings/settings.h"

namespace zv {

// Where a vehicle can be weighed, as travel of the train in mm: the stretch between two axle
// events of a platform in which that platform carries exactly one bogie of the vehicle and no
// other axle. The vehicle runs between two of its own kind.
struct VehicleWindows {
    // Per platform in the order of passage: the grouping by counting finds the vehicle's axle
    // count there (bogie span < platform length < distance to the other bogie).
    std::array<bool, 2> countingHolds{true, true};
    // Per platform: the shorter of the two bogie windows; 0 when a bogie has none.
    std::array<double, 2> bogieTravel{0, 0};
    // The stretch in which the first bogie stands alone on the second platform and the second
    // bogie alone on the first: the weight over both platforms; 0 when there is none.
    double bothTravel = 0;
    // The weighing by axle loads tells the vehicle from the one ahead (element 0) and the one
    // behind (1) in a stretch in which a platform carries one of the two axles next to that
    // border and not the other: the longest such stretch on any platform; 0 when none.
    std::array<double, 2> borderTravel{0, 0};
};

// direction +1 reaches platform 1 first, -1 platform 2. With one platform only element 0
// of the arrays means anything.
VehicleWindows vehicleWindows(const Settings& settings, const VehicleDimensions& vehicle,
                              int direction);

}  // namespace zv
