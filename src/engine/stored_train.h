#pragma once

#include <cstdint>
#include <vector>

#include "engine/wall_time.h"

namespace zv {

// The values of one `Trains` row as weighing in motion determines them. The records layer
// adds the train number, makes `Time` unique in the table, leaves `Wagon` and `DisS` null
// and refuses rows outside the table's ranges (an axle count outside 2..8).
struct StoredWagonRow {
    WallTime Time;        // when the wagon was completed
    int32_t Weight = 0;   // final weight rounded to `Did`
    int32_t Wei1 = 0;     // across both platforms (0: not measured / one platform)
    int32_t Wei2 = 0;     // second platform in the direction of travel
    int32_t Wei3 = 0;     // first platform in the direction of travel
    int32_t Direc = 0;    // 0 entry (direction +1), 1 exit (direction -1)
    int32_t Note = 1;     // 1 weighed, 3 locomotive, 4..6 weighing problems
    int32_t Axle = 0;     // axle count, clamped to -100..32767
    int32_t Speed = 0;    // 0.1 km/h, clamped like Axle
    int32_t BaseW = 0;    // wagon base, mm, clamped like Axle
    int32_t BaseB = 0;    // bogie base, mm, clamped like Axle
    int32_t WeiL = 0;     // bogie difference, kg, with the sign of direction +1
    int32_t WtFinal = 0;  // final weight before rounding to `Did` (not stored; for checks)
};

// The rows of one train, in the order the wagons were completed.
struct StoredTrain {
    std::vector<StoredWagonRow> rows;
    bool empty() const { return rows.empty(); }
};

}  // namespace zv
