#include "link/frame_encoder.h"

#include "link/frame_layout.h"

namespace zv {

std::array<uint8_t, 23> encodeFrame(const std::array<uint16_t, 8>& codes, int Nadc, int Npl,
                                    uint8_t status, bool calibrationMark, uint8_t serial) {
    std::array<uint8_t, frame::Size> bytes{};
    bytes[0] = frame::StartMarker;
    bytes[frame::SerialByte] = serial & 0x7F;

    const frame::Layout layout = frame::layoutFor(Nadc, Npl);
    const frame::CodePlace* places = layout.places();
    for (int k = 0; k < layout.codeCount; ++k) {
        const int slot = layout.slotOfCode[k];
        if (slot != frame::NoSlot) frame::writeCode(bytes.data(), places[k], codes[slot]);
    }
    if (layout.codeCount != 8) bytes[frame::StatusByte] |= status & frame::StatusMask;
    if (calibrationMark) bytes[frame::MarkByte] |= frame::MarkMask;

    uint8_t x = frame::StartMarker ^ frame::EndMarker;
    for (int i = 1; i < frame::CheckByte; ++i) x ^= bytes[i];
    bytes[frame::CheckByte] = x;
    bytes[frame::Size - 1] = frame::EndMarker;
    return bytes;
}

}  // namespace zv
