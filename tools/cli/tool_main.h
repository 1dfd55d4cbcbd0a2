#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zv {

// The whole command line after the program name: the command word and its options.
// Returns the exit status: 0 on success, 2 for a mistake in the options or a file that
// cannot be read or written, with the reason on err.
int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same with the run's standard input (the codes of set-access-code and the passwords of
// central add-scale and add-office come from it).
int runTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zv
