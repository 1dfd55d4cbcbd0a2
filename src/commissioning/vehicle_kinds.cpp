#include "commissioning/vehicle_kinds.h"

namespace zv {

double bogieSpan(const VehicleDimensions& v) {
    if (v.axles == 8) return v.groupSpan + v.bogieBase;
    return (v.axles / 2 - 1) * v.bogieBase;
}

std::vector<double> axleOffsets(const VehicleDimensions& v) {
    std::vector<double> fromCentre;
    if (v.axles == 8) {
        double g = v.groupSpan / 2, b = v.bogieBase / 2;
        fromCentre = {-g - b, -g + b, g - b, g + b};
    } else {
        int n = v.axles / 2;
        for (int k = 0; k < n; ++k) fromCentre.push_back((k - (n - 1) / 2.0) * v.bogieBase);
    }
    std::vector<double> offsets;
    double frontCentre = (v.length - v.wagonBase) / 2;
    for (double centre : {frontCentre, frontCentre + v.wagonBase})
        for (double d : fromCentre) offsets.push_back(centre + d);
    return offsets;
}

std::vector<VehicleKindSpec> standardVehicleKinds() {
    return {
        {"4ax", "четырёхосный вагон", {4, 13920, 8650, 1850, 0}, 24000, 88000, false},
        {"4ax-short",
         "короткий четырёхосный вагон",
         {4, 12020, 7800, 1850, 0},
         23000,
         80000,
         false},
        {"6ax", "шестиосный вагон", {6, 16400, 11000, 1750, 0}, 32000, 126000, false},
        {"8ax", "восьмиосный вагон", {8, 20240, 11500, 1850, 2500}, 44000, 168000, false},
        {"loco", "шестиосный локомотив", {6, 17000, 8600, 1950, 0}, 130000, 130000, true},
    };
}

}  // namespace zv
