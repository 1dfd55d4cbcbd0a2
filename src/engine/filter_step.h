#pragma once

#include <array>

#include "engine/filter_coefficients.h"

namespace zv {

// The engine's low-pass cascade (three equal sections at a cut-off, run at a sample rate)
// fed a unit step at sample 0, settled at 0 before it: each next() is the following output.
class FilterStep {
  public:
    FilterStep(int Fs, double fc);
    double next();

  private:
    Section c_;
    // history[0] is the input, history[s] the output of section s; [0] newest.
    std::array<std::array<double, 3>, 4> history_{};
};

// Samples from a step of the load to the steepest two-sample rise of the edge filter
// (`Fflt_`): how late the axle detector dates an axle's crossing of a platform's end.
int edgeDetectionLag(int Fadc, int Fflt_);

}  // namespace zv
