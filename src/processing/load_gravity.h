#pragma once

#include <QVariant>
#include <optional>

namespace zv {

// What the second weighing at rest knows when it computes the load's centre of gravity.
struct LoadGravityInput {
    double newWeight = 0;                       // Gn
    QVariant weight, disS, weiL, tareD, tareW;  // of the Wagons row
    double offTrans = 0;                        // T, mm
    double imbalance = 0;  // D: net load of platform 1 minus that of platform 2, kg
    int base = 0;          // B, mm
    int entryLoad = 0;
    int exitLoad = 0;
    int Dis = 1, Didl = 1, Dids = 1;
};

// `LIEwl`, `LIEdl`, `LIEds` and the unrounded imbalance the book row receives.
struct LoadGravity {
    int wl = 0;
    int dl = 0;
    int ds = 0;
    double imbalance = 0;
};

// The load's imbalance and offsets from the change between the two weighings: of the gross
// when the wagon leaves loaded, of the tare when it came loaded; none when it neither came
// nor leaves loaded. Equal weights (no load between them) give 0 everywhere.
std::optional<LoadGravity> loadGravity(const LoadGravityInput& in);

// Book.WeiL of a release in motion: the load's imbalance from the one measured in motion now
// and the one stored at acceptance (null when the side that carries the load is unknown).
QVariant motionLoadImbalance(int entryLoad, int exitLoad, const QVariant& now,
                             const QVariant& atAcceptance);

}  // namespace zv
