#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zv {

// The environment variables a program running with the records group must not take from the
// person who starts it: each names a place code or plugins are loaded from (the loader's LD_*,
// Qt's plugin, platform-theme, style and input-method choices, GTK and GIO modules, OpenGL and
// Vulkan drivers, OpenSSL and Kerberos modules), or a file whose contents steer a library
// (fontconfig, the logging rules, libpq's service files), or the desktop's name that makes Qt
// load a third-party platform theme. QT_QPA_PLATFORM stays: it names one of the system's
// platform plugins, and the tests run the program offscreen with it.
bool isUnsafeVariable(std::string_view name);

// The names among "NAME=value" entries that are unsafe; none when the program runs with the
// rights of the one who started it (secure == false): then the environment is theirs to set.
std::vector<std::string> unsafeVariables(const std::vector<std::string>& environment, bool secure);

// The search path a secure program gets in place of the caller's.
inline constexpr const char* SecurePath = "/usr/bin:/bin";

}  // namespace zv
