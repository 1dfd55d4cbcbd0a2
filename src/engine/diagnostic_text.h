#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace zv {

// Text of a debug label built in a fixed buffer, so that diagnostics never allocate.
// Too long a text is cut off.
class DiagText {
  public:
    DiagText& num(int64_t v) {
        auto r = std::to_chars(buf_.data() + len_, buf_.data() + buf_.size(), v);
        if (r.ec == std::errc()) len_ = static_cast<size_t>(r.ptr - buf_.data());
        return *this;
    }
    // Flags are shown as -1 (true) and 0 (false).
    DiagText& flag(bool b) { return num(b ? -1 : 0); }
    DiagText& text(std::string_view s) {
        for (char c : s)
            if (len_ < buf_.size()) buf_[len_++] = c;
        return *this;
    }
    DiagText& field() { return text(" "); }   // between fields of a group
    DiagText& group() { return text("  "); }  // between groups
    std::string_view view() const { return {buf_.data(), len_}; }

  private:
    std::array<char, 96> buf_{};
    size_t len_ = 0;
};

}  // namespace zv
