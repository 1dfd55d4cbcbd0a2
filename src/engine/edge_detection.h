#pragma once

#include <cstdint>

#include "engine/train_state.h"

namespace zv {

enum class EdgeKind { Entry, Exit };

// What the watched input measures. An input at an end of a platform carries a share of an
// axle's load that shrinks as the axle rolls away from that end, so each edge ends in a
// reversal. A platform's only input carries its whole load, which stays level after an
// axle has arrived or left: there an edge ends when its slope has flattened.
enum class EdgeInput { PlatformEnd, WholePlatform };

// Reversal of the watched signal (code units) that confirms an edge, and the net load
// below which a platform counts as empty for a departure (kg).
inline constexpr double kEdgeReversal = 100.0;
inline constexpr double kEmptyPlatformLoad = 400.0;

// One step of an edge detector on the signal u (u0 now, u2 two samples back) with the
// net load of its platform. Returns true when an armed detector sees its event; the axle's
// time is then det.PeakSample.
bool EdgeDetStep(EdgeDet& det, EdgeKind kind, double u0, double u2, double netLoad, uint32_t sample,
                 int32_t Axtr1, EdgeInput input = EdgeInput::PlatformEnd);

}  // namespace zv
