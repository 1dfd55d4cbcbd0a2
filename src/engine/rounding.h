#pragma once

#include <cmath>
#include <cstdint>

namespace zv {

// Every conversion of a real value to an integer goes through these two helpers:
// nearest integer, halves to the even one (the default rounding mode of the FPU).
inline int32_t roundHalfEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// Nearest multiple of step, the quotient rounded halves to even.
inline int32_t roundToStep(double v, int32_t step) {
    return roundHalfEven(v / step) * step;
}

}  // namespace zv
