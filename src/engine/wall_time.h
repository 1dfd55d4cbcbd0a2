#pragma once

#include <chrono>
#include <functional>

namespace zv {

// Date and time at which a wagon was completed; the records layer shows it as local time.
using WallTime = std::chrono::system_clock::time_point;

// Source of the wall-clock time, replaceable so that tests and replays control it.
using WallClock = std::function<WallTime()>;

}  // namespace zv
