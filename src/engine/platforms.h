#pragma once

#include "settings/settings.h"

namespace zv {

// `Npl` 0 is one platform, 1 two; a larger value read from a damaged file counts as two
// (there are no more slots than for two platforms).
inline bool twoPlatforms(const Settings& s) {
    return s.Npl >= 1;
}

// `Nadc` 0: a platform has a single input, which carries the platform's whole load and so
// serves as both of its ends.
inline bool oneInputPerPlatform(const Settings& s) {
    return s.Nadc == 0;
}

// Slot 4p sits at the end of platform p+1 a train in direction +1 reaches first; this is
// the distance to the slot of its other end.
inline int farEndOffset(const Settings& s) {
    return oneInputPerPlatform(s) ? 0 : 2;
}

}  // namespace zv
