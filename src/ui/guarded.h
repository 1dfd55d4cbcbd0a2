#pragma once

#include <functional>

namespace zv {

// Runs an operator's command; an error of the tables, a file or the port it meets is shown
// in the error box and goes no further, so it never reaches the event loop. False when the
// command failed.
bool guarded(const std::function<void()>& command);

}  // namespace zv
