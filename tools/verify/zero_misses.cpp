#include "verify/zero_misses.h"

#include <algorithm>
#include <cstdio>

namespace zv {

void ZeroMisses::add(const ZeroState& zero, double emptySecondsBefore) {
    ++passages;
    emptySeconds = emptySecondsBefore;
    if (zero.failure == ZeroFailure::OutOfRange) {
        ++refused;
        refusedLoad = zero.refusedLoad;
        refusedLimit = zero.refusedLimit;
        return;
    }
    ++unsettled;
    leastSpread = std::min(leastSpread, zero.leastSpread);
    stabilityRange = zero.stabilityRange;
}

std::string zeroMissText(const ZeroMisses& m, long passages, double noiseKg) {
    char text[400];
    int n = std::snprintf(text, sizeof text,
                          "zero not set in the %g s of empty scale before the train in %ld of %ld "
                          "passages",
                          m.emptySeconds, m.passages, passages);
    if (m.unsettled > 0 && m.leastSpread != ZeroState::kNoSpread)
        n += std::snprintf(text + n, sizeof text - n,
                           ": at noise %g kg per input Zst = %d kg is too tight, the readings "
                           "spread by %lld kg and more",
                           noiseKg, m.stabilityRange, static_cast<long long>(m.leastSpread));
    if (m.refused > 0)
        n += std::snprintf(text + n, sizeof text - n, "%s %lld kg on the scale beyond Zpwr = %d kg",
                           m.unsettled > 0 ? ";" : ":", static_cast<long long>(m.refusedLoad),
                           m.refusedLimit);
    std::snprintf(text + n, sizeof text - n,
                  " (left out of the rows: their weights carry the platforms' dead load)");
    return text;
}

}  // namespace zv
