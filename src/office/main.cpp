#include "office/office_cli.h"

#include <atomic>
#include <csignal>
#include <iostream>

namespace {
std::atomic<bool> stopRequested{false};
void requestStop(int) { stopRequested.store(true); }
}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::signal(SIGPIPE, SIG_IGN);
    return zv::office::runOfficeCli(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr, stopRequested);
}
