#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/frame_layout.h"

namespace zv {

// One accepted converter frame, its codes placed by channel slot
// (slot 4p + i is input i of platform p; slots the configuration does not use are 0).
struct DecodedFrame {
    std::array<uint16_t, 8> codes{};
    uint8_t status = 0;  // bits 3-0 of frame byte 11, kept only for the raw data file
    bool calibrationMark = false;
};

// Byte-by-byte receiver of the converter's 23-byte frames. Plain C++, allocates nothing
// after construction, so it can sit in the sample path and under a fuzzer.
//
// Per accepted frame the caller, in this order: takes frame(), records it if recording,
// calls onCalibrationMark(SmpCnt) when frame().calibrationMark is set, then filters it.
// SmpCnt belongs to the filter stage, which is why the mark handling borrows it.
class FrameDecoder {
public:
    static constexpr int BufSize = 24;

    FrameDecoder();

    // Picks the frame kind and the code-to-slot map (see frame::layoutFor). Nadc 0 with
    // Npl 0 is read as a 4-code frame whose c0 feeds slot 0; combinations outside the
    // table accept frames but leave all slots 0.
    void setLayout(int Nadc, int Npl);

    // Before the port opens: back to waiting for a start marker, counters to 0.
    // FrameBuf keeps its bytes (they are overwritten before use) and Ln1 its text.
    void reset();

    // Takes one received byte; true when it completed a good frame, now in frame().
    bool feed(uint8_t b);

    // Counts the mark, appends " <SmpCnt>" to Ln1 (emptied first once longer than
    // 80 characters) and sets SmpCnt to 0.
    void onCalibrationMark(int& SmpCnt);

    const DecodedFrame& frame() const { return frame_; }
    int FramePos() const { return framePos_; }
    int FrameErr() const { return frameErr_; }
    int MarkCnt() const { return markCnt_; }
    const std::string& Ln1() const { return ln1_; }
    const std::array<uint8_t, BufSize>& FrameBuf() const { return frameBuf_; }

private:
    static constexpr std::size_t Ln1Limit = 80;

    void store(uint8_t b);
    void start();
    bool end(uint8_t b);
    void reject();
    bool checkPasses(uint8_t endMarker) const;
    void unpack();

    std::array<uint8_t, BufSize> frameBuf_{};
    int framePos_ = 0;
    int frameErr_ = 0;
    int markCnt_ = 0;
    std::string ln1_;
    frame::Layout layout_;
    DecodedFrame frame_;
};

}  // namespace zv
