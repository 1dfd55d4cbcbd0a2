#include "processing/load_gravity.h"

#include "engine/rounding.h"

namespace zv {

namespace {

// R(numerator / divisor) x step; a zero divisor or step leaves nothing to show.
int roundedShare(double numerator, double divisor, int step) {
    if (divisor == 0 || step == 0) return 0;
    return roundHalfEven(numerator / (divisor * step)) * step;
}

}  // namespace

std::optional<LoadGravity> loadGravity(const LoadGravityInput& in) {
    const bool leavesLoaded = in.exitLoad > 0;
    if (!leavesLoaded && in.entryLoad <= 0) return std::nullopt;

    double Gr = 0;
    double Mr = 0;
    if (!in.disS.isNull()) {
        Gr = in.weight.toDouble();
        Mr = in.disS.toDouble() * Gr;
    } else {
        Gr = !in.tareD.isNull() ? in.tareD.toDouble() : in.tareW.toDouble();
    }
    const double Gn = in.newWeight;
    const double Lr = in.weiL.toDouble();
    const double T = in.offTrans;

    // The load is the difference of the two weighings, taken the way round that makes it positive.
    const double load = leavesLoaded ? Gn - Gr : Gr - Gn;
    LoadGravity g;
    if (load == 0) return g;  // nothing was loaded or unloaded: no load to place
    const double moment = leavesLoaded ? T * Gn - Mr : Mr - T * Gn;
    g.imbalance = leavesLoaded ? in.imbalance - Lr : Lr - in.imbalance;
    g.ds = roundedShare(moment, load, in.Dids);
    g.wl = roundedShare(g.imbalance, 1, in.Dis);
    g.dl = roundedShare(in.base * g.imbalance, 2 * load, in.Didl);
    return g;
}

QVariant motionLoadImbalance(int entryLoad, int exitLoad, const QVariant& now,
                             const QVariant& atAcceptance) {
    const bool leavesLoaded = exitLoad > 0;
    const bool cameLoaded = entryLoad > 0;
    if (leavesLoaded && now.isNull()) return {};
    // Also in transit: the load's own imbalance is unknown without the empty side.
    if (cameLoaded && atAcceptance.isNull()) return {};
    if (leavesLoaded)
        return atAcceptance.isNull() ? now : QVariant(now.toInt() - atAcceptance.toInt());
    if (cameLoaded && !now.isNull()) return atAcceptance.toInt() - now.toInt();
    return atAcceptance;
}

}  // namespace zv
