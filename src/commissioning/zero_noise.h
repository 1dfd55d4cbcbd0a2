#pragma once

#include <string>

#include "settings/settings.h"

namespace zv {

// How much noise on the inputs the power-up zero stands with the scale's `Zst`: noise as the
// simulator makes it, Gaussian, its standard deviation in kg per input.
struct ZeroNoiseLimit {
    // Up to here the first reading with a full history after the port opens (about 2 s at
    // 50 Hz) is stable in at least half of the starts.
    double firstReadingKg = 0;
    double halfStableKg = 0;  // up to here at least half of the empty scale's readings are stable
    double minuteKg = 0;      // from here a minute mostly passes without one stable reading
};

// Measured through the engine on an empty scale with noise; the readings' spread grows in
// proportion to the noise, so one run gives both limits.
ZeroNoiseLimit zeroNoiseLimit(const Settings& settings);

// "Ноль при включении: Zst = 50 кг ..." the limits in the engineer's words.
std::string zeroNoiseText(const Settings& settings, const ZeroNoiseLimit& limit);

}  // namespace zv
