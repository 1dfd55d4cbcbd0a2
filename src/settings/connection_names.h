#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zv {

// The names the settings file and the connection page use for line speed and parity.
inline constexpr std::array<std::string_view, 16> BaudRateNames = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
inline constexpr std::array<std::string_view, 5> ParityNames = {"None", "Odd", "Even", "Mark",
                                                                "Space"};

// A name matched without regard to letter case, in the spelling of the list; a name
// outside the list gives "9600" or "None".
std::string canonicalBaudRate(std::string_view name);
std::string canonicalParity(std::string_view name);

}  // namespace zv
