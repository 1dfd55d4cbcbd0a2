#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* CheckUsage =
    "zolvelt-tool check [--ini FILE] [--zero ... --coef ...] [--table]\n"
    "  The weighing-window check of the scale settings window: what the scale the settings\n"
    "  describe weighs and up to which speed, kind by kind. Exit status 0 when every wagon\n"
    "  weighs up to Vmax, 1 when not. --table: instead, the settling delays (tflt) for the\n"
    "  usual platform lengths and conversion rates, the other settings as in the file.\n";

// args: the options after the word "check"; the verdict or the table to out.
int runCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
