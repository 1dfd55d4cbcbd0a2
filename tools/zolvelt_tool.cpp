#include <iostream>
#include <string>
#include <vector>

#include "cli/tool_main.h"
#include "privilege/secure_start.h"

int main(int argc, char* argv[]) {
    if (const std::string refusal = zv::secureStart(); !refusal.empty()) {
        std::cerr << refusal << '\n';
        return 126;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    return zv::runTool(args, std::cout, std::cerr);
}
