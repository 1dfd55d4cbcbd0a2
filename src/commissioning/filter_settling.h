#pragma once

#include <vector>

namespace zv {

// Response of the engine's platform filter (three equal low-pass sections at `Fflt`, run at
// `Fadc`) to a unit step at sample 0, settled at 0 before it: element k is sample k.
std::vector<double> filterStepResponse(int Fadc, int Fflt, int samples);

// The first sample from which the step response stays within `tolerance` of the step.
int filterSettlingSamples(int Fadc, int Fflt, double tolerance);

}  // namespace zv
