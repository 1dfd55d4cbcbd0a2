#pragma once

#include "cli/tool_main.h"

#include <sstream>
#include <string>
#include <vector>

namespace zv::test {

// One run of zolvelt-tool inside the test process: its exit status and what it printed.
struct ToolRun {
    int status;
    std::string out, err;
};

// `input` is the run's standard input.
inline ToolRun run(const std::vector<std::string>& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runTool(args, in, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace zv::test
