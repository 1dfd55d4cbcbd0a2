#pragma once

#include <string>
#include <string_view>

namespace zv {

// The settings file is Windows-1251 on disk; the program keeps text in UTF-8.
// Both directions never fail: a byte without a character (0x98) maps to U+0098 so it
// survives a round trip, and a character the code page lacks, or malformed UTF-8,
// becomes "?", as Windows itself writes it.
std::string cp1251ToUtf8(std::string_view bytes);
std::string utf8ToCp1251(std::string_view text);

}  // namespace zv
