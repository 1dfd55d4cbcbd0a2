#pragma once

#include <cstdint>

#include "engine/train_state.h"

namespace zv {

enum class EdgeKind { Entry, Exit };

// Reversal of the watched signal (code units) that confirms an edge, and the net load
// below which a platform counts as empty for a departure (kg).
inline constexpr double kEdgeReversal = 100.0;
inline constexpr double kEmptyPlatformLoad = 400.0;

// One step of an edge detector on the signal u (u0 now, u2 two samples back) with the
// net load of its platform. Returns true when an armed detector sees its event; the axle's
// time is then det.PeakSample.
bool EdgeDetStep(EdgeDet& det, EdgeKind kind, double u0, double u2, double netLoad, uint32_t sample,
                 int32_t Axtr1);

}  // namespace zv
