#include "commissioning/filter_settling.h"

#include <array>
#include <cmath>

#include "engine/filter_coefficients.h"

namespace zv {

std::vector<double> filterStepResponse(int Fadc, int Fflt, int samples) {
    CoefSet set;
    FiltCoef(Fadc, 2, Fflt, set);
    const Section& c = set[1];  // the engine runs on the second section only
    // history[0] is the input, history[s] the output of section s; [0] newest.
    std::array<std::array<double, 3>, 4> history{};
    std::vector<double> out;
    out.reserve(static_cast<size_t>(samples));
    for (int k = 0; k < samples; ++k) {
        for (auto& h : history) h = {0.0, h[0], h[1]};
        history[0][0] = 1.0;
        for (size_t s = 1; s < history.size(); ++s) {
            const auto& x = history[s - 1];
            auto& y = history[s];
            y[0] = c.g * (x[0] + 2 * x[1] + x[2]) - c.a1 * y[1] - c.a2 * y[2];
        }
        out.push_back(history[3][0]);
    }
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
