#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "link/frame_encoder.h"

// Byte streams as the converter would send them, for the link tests.
namespace zv::test {

using Bytes = std::vector<uint8_t>;
using Slots = std::array<uint16_t, 8>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An 8-code frame carrying every slot.
inline Bytes frameOf(const Slots& codes, bool mark = false) {
    const auto f = encodeFrame(codes, 2, 1, 0, mark);
    return Bytes(f.begin(), f.end());
}

// The same frame with one data bit flipped, so its check fails.
inline Bytes corrupted(Bytes frame) {
    frame[5] ^= 0x01;
    return frame;
}

inline Bytes firstBytes(const Bytes& frame, std::size_t n) {
    return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(n));
}

}  // namespace zv::test
