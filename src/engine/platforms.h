#pragma once

#include "settings/settings.h"

namespace zv {

// `Npl` 0 is one platform, 1 two; a larger value read from a damaged file counts as two
// (there are no more slots than for two platforms).
inline bool twoPlatforms(const Settings& s) {
    return s.Npl >= 1;
}

}  // namespace zv
