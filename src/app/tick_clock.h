#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// The system's wrapping 32-bit millisecond tick.
using TickClock = std::function<uint32_t()>;

inline uint32_t systemTickMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
