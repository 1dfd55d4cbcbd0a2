#include "engine/edge_detection.h"

namespace zv {

bool EdgeDetStep(EdgeDet& det, EdgeKind kind, double u0, double u2, double netLoad, uint32_t sample,
                 int32_t Axtr1, EdgeInput input) {
    const bool entry = kind == EdgeKind::Entry;
    const double d = entry ? u0 - u2 : u2 - u0;
    const double u = u0;
    if (!det.Armed) {
        if (d > Axtr1) {
            det.Armed = true;
            det.Count += 1;
            det.PeakDeriv = d;
            det.PeakSample = sample;
            det.Level = u;
        }
        return false;
    }
    if (d > det.PeakDeriv) {
        det.PeakDeriv = d;
        det.PeakSample = sample;
        return false;
    }
    // Half the arming slope: the tail of the same edge cannot arm the detector again.
    if (input == EdgeInput::WholePlatform && d < Axtr1 / 2.0) {
        det.Armed = false;
        return true;
    }
    if (entry ? u > det.Level : u < det.Level) {
        det.Level = u;
        return false;
    }
    const bool event =
        entry ? det.Level - u > kEdgeReversal
              : u - det.Level > kEdgeReversal || (netLoad < kEmptyPlatformLoad && d < 0);
    if (event) det.Armed = false;
    return event;
}

}  // namespace zv
