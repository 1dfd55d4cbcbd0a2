#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// The system's wrapping 32-bit millisecond tick.
using TickClock = std::function<uint32_t()>;

inline uint32_t systemTickMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// The end-of-train wait is over once strictly more than tTrEnd ms have passed since the last
// axle edge. The difference is taken modulo 2^32, so it holds across the wrap of the tick.
inline bool trainEndDue(uint32_t now, uint32_t lastAxleTick, int32_t tTrEnd) {
    return static_cast<int64_t>(static_cast<uint32_t>(now - lastAxleTick)) > tTrEnd;
}
