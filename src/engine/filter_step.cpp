#include "engine/filter_step.h"

#include <algorithm>

namespace zv {

FilterStep::FilterStep(int Fs, double fc) {
    CoefSet set;
    FiltCoef(Fs, 2, fc, set);
    c_ = set[1];  // the engine runs on the second section only
}

double FilterStep::next() {
    for (auto& h : history_) h = {0.0, h[0], h[1]};
    history_[0][0] = 1.0;
    for (size_t s = 1; s < history_.size(); ++s) {
        const auto& x = history_[s - 1];
        auto& y = history_[s];
        y[0] = c_.g * (x[0] + 2 * x[1] + x[2]) - c_.a1 * y[1] - c_.a2 * y[2];
    }
    return history_[3][0];
}

int edgeDetectionLag(int Fadc, int Fflt_) {
    FilterStep step(std::max(Fadc, 1), std::max(Fflt_, 1));
    // Long enough for the slowest edge filter the settings allow (1 Hz at 200 Hz).
    const int samples = 4 * std::max(Fadc, 1) / std::max(Fflt_, 1) + 8;
    double older = 0, old = 0, steepest = -1;
    int lag = 0;
    for (int k = 0; k < samples; ++k) {
        const double now = step.next();
        if (now - older > steepest) {
            steepest = now - older;
            lag = k;
        }
        older = old;
        old = now;
    }
    return lag;
}

}  // namespace zv
