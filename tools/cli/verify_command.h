#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* VerifyUsage =
    "zolvelt-tool verify --ini FILE [--zero Z0,...,Z7 --coef K0,...,K7] [--speeds 3,5,8,10]\n"
    "                    [--runs N] [--class 0.2|0.5|1|2] [--seed N] [--noise KG]\n"
    "                    [--bounce SHARE] [--body SHARE] [--body-hz HZ] [--ideal]\n"
    "                    [--method 0|1|both]\n"
    "                    [--csv FILE] [--all-kinds]\n"
    "  In-motion verification by simulation: reference trains of every vehicle kind, empty\n"
    "  and loaded, the locomotive at the head and at the tail, in both directions at each\n"
    "  speed (default: 3 km/h up to Vmax), each --runs times (default 3) with its own seed,\n"
    "  weighed by the program's engine over the scale of the settings. Prints the weighing\n"
    "  check, a table by kind and speed and a summary line. Exit status 0 when every four-\n"
    "  and six-axle wagon row up to Vmax meets --class (default 0.5; with --all-kinds also\n"
    "  eight-axle wagons and locomotives), 1 when not. --csv: the table as CSV too.\n"
    "  The signal is realistic unless --ideal: noise 10 kg per input (--noise), each axle's\n"
    "  oscillation 0.03 of its load at 4 Hz after it rolls on (--bounce), each body's bounce\n"
    "  0.01 of its load (--body) at 1.5 Hz (--body-hz). The weighing method is the settings\n"
    "  file's; --method 0|1 takes the one named, both prints the two side by side (the file's\n"
    "  own method decides the exit status and goes to --csv).\n";

// args: the options after the word "verify". The check, the table and the summary to out.
// Throws UsageError for a mistake in the options and std::runtime_error for a file that
// cannot be read or written; returns 0 or 1 otherwise.
int runVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
