#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace zv {

// Every conversion of a real value to an integer goes through these two helpers:
// nearest integer, halves to the even one (the default rounding mode of the FPU).
// A value beyond the 32-bit range saturates and NaN gives 0, so a damaged setting can
// never turn into undefined behaviour.
inline int32_t roundHalfEven(double v) {
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (std::isnan(v)) return 0;
    if (v <= lo) return std::numeric_limits<int32_t>::min();
    if (v >= hi) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::nearbyint(v));
}

// A 64-bit intermediate brought back to 32 bits, saturating at the ends of the range.
inline int32_t saturate32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

// Nearest multiple of step, the quotient rounded halves to even. A step that is not
// positive has no multiples to round to and yields 0.
inline int32_t roundToStep(double v, int32_t step) {
    if (step <= 0) return 0;
    return saturate32(int64_t{roundHalfEven(v / step)} * step);
}

}  // namespace zv
