#pragma once

#include <cerrno>
#include <cstring>
#include <string>

namespace zv {

// "Cannot open file "<path>": <reason of errno>", worded like the link's file errors.
inline std::string fileError(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace zv
