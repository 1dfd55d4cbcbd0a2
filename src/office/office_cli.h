#pragma once

#include <atomic>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace zv::office {

// zolvelt-office's commands. serve runs until stop is raised (by SIGINT/SIGTERM in main);
// ready, when given, hears the port it listens on.
int runOfficeCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                 const std::atomic<bool>& stop, const std::function<void(int port)>& ready = {});

}  // namespace zv::office
