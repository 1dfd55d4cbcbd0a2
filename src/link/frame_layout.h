#pragma once

#include <array>
#include <cstdint>

// Where things lie in a 23-byte converter frame. Shared by the decoder and the encoder so
// that both read the same map.
namespace zv::frame {

inline constexpr int Size = 23;
inline constexpr uint8_t StartMarker = 0xCC;
inline constexpr uint8_t EndMarker = 0xC3;
inline constexpr int SerialByte = 1;
inline constexpr int CheckByte = 21;  // free byte the converter uses to make the XOR come out 0
inline constexpr int StatusByte = 11;
inline constexpr uint8_t StatusMask = 0x0F;
inline constexpr int MarkByte = 20;
inline constexpr uint8_t MarkMask = 0x08;

// One 16-bit code is h * 512 + m * 4 + l; the two bits of l may lie in different bytes.
struct CodePlace {
    uint8_t hByte;
    uint8_t mByte;
    uint8_t lowHighByte;  // byte and bit of bit 1 of l
    uint8_t lowHighBit;
    uint8_t lowLowByte;  // byte and bit of bit 0 of l
    uint8_t lowLowBit;
};

inline constexpr std::array<CodePlace, 4> FourCodePlaces{{
    {2, 3, 10, 6, 10, 5},
    {4, 5, 10, 4, 10, 3},
    {6, 7, 10, 2, 10, 1},
    {8, 9, 10, 0, 11, 6},
}};

inline constexpr std::array<CodePlace, 8> EightCodePlaces{{
    {2, 3, 18, 6, 18, 5},
    {4, 5, 18, 4, 18, 3},
    {6, 7, 18, 2, 18, 1},
    {8, 9, 18, 0, 19, 6},
    {10, 11, 19, 5, 19, 4},
    {12, 13, 19, 3, 19, 2},
    {14, 15, 19, 1, 19, 0},
    {16, 17, 20, 6, 20, 5},
}};

inline constexpr int8_t NoSlot = -1;

// Which frame the converter sends for a scale configuration and where each code goes.
struct Layout {
    int codeCount = 0;  // 4 or 8; 0 means the configuration takes no code at all
    std::array<int8_t, 8> slotOfCode{NoSlot, NoSlot, NoSlot, NoSlot,
                                     NoSlot, NoSlot, NoSlot, NoSlot};

    const CodePlace* places() const {
        return codeCount == 8 ? EightCodePlaces.data() : FourCodePlaces.data();
    }
};

// Nadc: inputs per platform (0 one, 1 two, 2 four); Npl: platforms (0 one, 1 two).
Layout layoutFor(int Nadc, int Npl);

uint16_t readCode(const uint8_t* bytes, const CodePlace& place);
void writeCode(uint8_t* bytes, const CodePlace& place, uint16_t code);

}  // namespace zv::frame
