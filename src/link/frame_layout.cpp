#include "link/frame_layout.h"

namespace zv::frame {

namespace {

constexpr int8_t _ = NoSlot;

Layout fourCodes(std::array<int8_t, 8> slotOfCode) {
    return Layout{4, slotOfCode};
}

}  // namespace

// clang-format off
Layout layoutFor(int Nadc, int Npl) {
    if (Npl == 0) {
        switch (Nadc) {
            case 0: return fourCodes({0, _, _, _, _, _, _, _});  // a one-cell scale
            case 1: return fourCodes({0, 2, _, _, _, _, _, _});
            case 2: return fourCodes({0, 1, 2, 3, _, _, _, _});
        }
    } else if (Npl == 1) {
        switch (Nadc) {
            case 0: return fourCodes({0, 4, _, _, _, _, _, _});
            case 1: return fourCodes({0, 2, 4, 6, _, _, _, _});
            case 2: return Layout{8, {0, 1, 2, 3, 4, 5, 6, 7}};
        }
    }
    return Layout{};
}
// clang-format on

uint16_t readCode(const uint8_t* bytes, const CodePlace& place) {
    const unsigned low = (((bytes[place.lowHighByte] >> place.lowHighBit) & 1u) << 1) |
                         ((bytes[place.lowLowByte] >> place.lowLowBit) & 1u);
    const unsigned code =
        ((bytes[place.hByte] & 0x7Fu) << 9) | ((bytes[place.mByte] & 0x7Fu) << 2) | low;
    return static_cast<uint16_t>(code);
}

void writeCode(uint8_t* bytes, const CodePlace& place, uint16_t code) {
    bytes[place.hByte] = static_cast<uint8_t>((code >> 9) & 0x7F);
    bytes[place.mByte] = static_cast<uint8_t>((code >> 2) & 0x7F);
    bytes[place.lowHighByte] |= static_cast<uint8_t>(((code >> 1) & 1u) << place.lowHighBit);
    bytes[place.lowLowByte] |= static_cast<uint8_t>((code & 1u) << place.lowLowBit);
}

}  // namespace zv::frame
