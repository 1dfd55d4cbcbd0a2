#pragma once

#include <array>
#include <cstdint>

namespace zv {

// Builds the frame a converter would send for these slot codes: the inverse of
// FrameDecoder, used by the converter simulator and by tests. The codes are taken from
// the slots the layout of Nadc/Npl reads; the others are ignored. The status goes to
// bits 3-0 of byte 11 of a 4-code frame only: in an 8-code frame that byte carries c4.
// Byte 21 is set so that the XOR of the whole frame is 0.
std::array<uint8_t, 23> encodeFrame(const std::array<uint16_t, 8>& codes, int Nadc, int Npl,
                                    uint8_t status, bool calibrationMark, uint8_t serial = 1);

}  // namespace zv
