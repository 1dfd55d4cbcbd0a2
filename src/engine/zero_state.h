#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace zv {

// Why the zero asked for (at start-up, when the port opens, after a new calibration) has not
// been set.
enum class ZeroFailure {
    None,        // set, or no reading seen yet
    Unsettled,   // no reading was stable: the readings spread by `Zst` or more
    OutOfRange,  // a stable reading was too far from the calibration zero (`Zpwr`, `Zman`)
};

// The zero since it was last asked for, as the conditioning readings saw it.
struct ZeroState {
    static constexpr int64_t kNoSpread = std::numeric_limits<int64_t>::max();

    bool taken = false;  // a power-up or operator zero was set since the request
    ZeroFailure failure = ZeroFailure::None;
    int32_t readings = 0;            // conditioning readings since the request without a zero
    int64_t leastSpread = kNoSpread;  // the smallest stability spread of those readings, kg
    int32_t stabilityRange = 0;      // `Zst` at the last of them
    // The zero last refused for its range: the load |M[0] + M[5]| and the range it exceeded.
    int64_t refusedLoad = 0;
    int32_t refusedLimit = 0;
    bool refusedByButton = false;  // `Zman` of the zero button, else `Zpwr`
};

// How long the program waits for the zero before it says why there is none.
constexpr int kZeroWaitSeconds = 60;

// A minute of samples at `Fadc` has gone by without the zero.
bool zeroOverdue(const ZeroState& zero, int32_t Fadc);

// "Ноль не установлен: ..." with the reason, in the operator's words (UTF-8).
std::string zeroFailureText(const ZeroState& zero);

}  // namespace zv
