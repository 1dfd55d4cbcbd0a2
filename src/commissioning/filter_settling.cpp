#include "commissioning/filter_settling.h"

#include <algorithm>
#include <cmath>

#include "engine/filter_step.h"

namespace zv {

std::vector<double> filterStepResponse(int Fadc, int Fflt, int samples) {
    FilterStep step(Fadc, Fflt);
    std::vector<double> out;
    out.reserve(static_cast<size_t>(std::max(samples, 0)));
    for (int k = 0; k < samples; ++k) out.push_back(step.next());
    return out;
}

int filterSettlingSamples(int Fadc, int Fflt, double tolerance) {
    // Long enough for the slowest filter the settings allow (1 Hz at 200 Hz) to settle.
    const std::vector<double> step =
        filterStepResponse(Fadc, Fflt, 20 * Fadc / std::max(Fflt, 1) + 50);
    int settled = static_cast<int>(step.size());
    while (settled > 0 && std::abs(step[static_cast<size_t>(settled - 1)] - 1.0) <= tolerance)
        --settled;
    return settled;
}

}  // namespace zv
