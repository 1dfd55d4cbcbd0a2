#include "settings/connection_names.h"

#include <algorithm>

namespace zv {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

template <size_t N>
std::string canonical(const std::array<std::string_view, N>& names, std::string_view name,
                      std::string_view fallback) {
    const auto it =
        std::ranges::find_if(names, [&](std::string_view n) { return equalNoCase(n, name); });
    return std::string(it == names.end() ? fallback : *it);
}

}  // namespace

std::string canonicalBaudRate(std::string_view name) {
    return canonical(BaudRateNames, name, "9600");
}

std::string canonicalParity(std::string_view name) {
    return canonical(ParityNames, name, "None");
}

}  // namespace zv
