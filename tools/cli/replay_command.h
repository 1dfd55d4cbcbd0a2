#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* ReplayUsage =
    "zolvelt-tool replay (--raw FILE | --capture FILE) [--ini FILE] [--db DIR]\n"
    "                    [--zero Z0,Z1,Z2,Z3,Z4,Z5,Z6,Z7] [--coef K0,K1,K2,K3,K4,K5,K6,K7]\n"
    "  Weighs a recording as the program's replay does and prints, as CSV, every wagon\n"
    "  row the Trains table would take. --raw: a raw data file of 18-byte records;\n"
    "  --capture: bytes as received from the converter. --ini: the settings file (keys\n"
    "  absent from it, or no file, take their defaults). --zero/--coef: zero codes and\n"
    "  coefficients of the eight inputs in place of the file's calibration. --db: store\n"
    "  the trains in the tables of DIR (created as the program creates them) and print\n"
    "  the rows Trains then holds.\n";

// args: the options after the word "replay". CSV to out, the summary line to err.
// Throws UsageError for a mistake in the options and std::runtime_error for a file that
// cannot be read; returns the exit status otherwise.
int runReplayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
