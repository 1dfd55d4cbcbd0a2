#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace zv {

// The scale shows overload above its largest capacity plus nine static divisions.
inline int64_t overloadLimit(const Settings& s) {
    return int64_t{s.Wmax} + 9 * int64_t{s.Dis};
}

// A weight the scale can have measured: above nothing and within its overload limit. A
// wagon weighed outside it is a doubtful weighing, whatever the method.
inline bool weightWithinScale(int64_t weight, const Settings& s) {
    return weight > 0 && weight <= overloadLimit(s);
}

}  // namespace zv
