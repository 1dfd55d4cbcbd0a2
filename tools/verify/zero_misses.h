#pragma once

#include <cstdint>
#include <string>

#include "engine/zero_state.h"

namespace zv {

// Passages whose zero was not set when their train arrived. Their weights carry the
// platforms' dead load, so they tell nothing of the weighing and are kept out of its rows.
struct ZeroMisses {
    long passages = 0;
    long unsettled = 0;                         // no reading stable
    int64_t leastSpread = ZeroState::kNoSpread;  // the smallest spread any of them reached
    int32_t stabilityRange = 0;                 // Zst
    long refused = 0;                           // out of Zpwr
    int64_t refusedLoad = 0;
    int32_t refusedLimit = 0;
    double emptySeconds = 0;  // of empty scale before each train

    void add(const ZeroState& zero, double emptySecondsBefore);
};

// "zero not set before the train in 10 of 24 passages: ..." with the reason and the noise;
// `passages` counts every passage of the run.
std::string zeroMissText(const ZeroMisses& misses, long passages, double noiseKg);

}  // namespace zv
