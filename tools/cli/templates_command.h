#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* TemplatesUsage =
    "zolvelt-tool templates --out DIR\n"
    "  Writes the empty tables DBOpen copies when a table is missing: n.ttb, t.ttb,\n"
    "  w.ttb and b.ttb (Names, Trains, Wagons, the weighing book), replacing older ones.\n";

// args: the options after the word "templates". Throws UsageError for a mistake in the
// options and std::runtime_error for a file that cannot be written.
int runTemplatesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
