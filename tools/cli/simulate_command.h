#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* SimulateUsage =
    "zolvelt-tool simulate [--ini FILE] [--zero Z0,...,Z7] [--coef K0,...,K7]\n"
    "                      [--train FILE | [--wagons N] [--axles 4|6|8] [--mass KG]\n"
    "                                      [--imbalance KG] [--loco none|head|tail|both]\n"
    "                                      [--loco-mass KG]]\n"
    "                      [--speed KMH[,KMH_AT_END]] [--direction +1|-1] [--empty SECONDS]\n"
    "                      [--noise KG] [--bounce SHARE] [--body SHARE] [--dead-load KG]\n"
    "                      [--seed N]\n"
    "                      [--raw FILE] [--capture FILE] [--corrupt SHARE] [--truth FILE]\n"
    "                      [--pty [--wait SECONDS] [--pause SECONDS] [--trains N]]\n"
    "  Simulates a train crossing the scale that the settings describe (--ini, --zero,\n"
    "  --coef as for replay). The train comes from a description file (--train) or from\n"
    "  the options: N equal wagons (default 10 of 4 axles and 60000 kg), locomotives of\n"
    "  six axles (default 130000 kg). Outputs, at least one: --raw a raw data file,\n"
    "  --capture the converter's byte stream (a calibration mark every Fadc frames,\n"
    "  --corrupt a share 0..1 of frames with a failing check), --truth the vehicles as CSV.\n"
    "  Defaults: speed 8 km/h, direction +1, 3 s of empty scale before and after, noise\n"
    "  3 kg, bounce 0.02 of an axle's load, no body bounce (--body: a share of a vehicle's\n"
    "  load at 1.5 Hz), dead load 300 kg per platform, seed 1.\n"
    "  --pty instead of the outputs: plays trains live through a pseudo-terminal, as the\n"
    "  converter on its serial line at Fadc frames a second, and prints its path. The first\n"
    "  train comes after --wait seconds (20), each next one after --pause seconds (30) of\n"
    "  empty scale, with the next seed and, unless --direction is given, the other direction.\n"
    "  Ends after --trains trains (default: never) or on Ctrl+C.\n";

// args: the options after the word "simulate"; a summary line to err. Throws UsageError
// for a mistake in the options and std::runtime_error for a file that cannot be read or
// written; returns the exit status otherwise.
int runSimulateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
