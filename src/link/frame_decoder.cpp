#include "link/frame_decoder.h"

#include <charconv>

namespace zv {

FrameDecoder::FrameDecoder() {
    // Room for the longest text plus one entry, so marks never allocate.
    ln1_.reserve(Ln1Limit + 16);
}

void FrameDecoder::setLayout(int Nadc, int Npl) {
    layout_ = frame::layoutFor(Nadc, Npl);
}

void FrameDecoder::reset() {
    framePos_ = 0;
    frameErr_ = 0;
    markCnt_ = 0;
}

bool FrameDecoder::feed(uint8_t b) {
    if (b < 0x80) {
        store(b);
        return false;
    }
    if (b == frame::StartMarker) {
        start();
        return false;
    }
    if (b == frame::EndMarker) return end(b);
    reject();
    return false;
}

void FrameDecoder::store(uint8_t b) {
    // Data outside a frame is line noise and not worth counting; past the end of the
    // buffer it only makes the frame overlong, which the end marker then rejects.
    if (framePos_ > 0 && framePos_ < BufSize) frameBuf_[framePos_++] = b;
}

void FrameDecoder::start() {
    frameBuf_[0] = frame::StartMarker;
    framePos_ = 1;
}

bool FrameDecoder::end(uint8_t b) {
    if (framePos_ != frame::Size - 1 || !checkPasses(b)) {
        reject();
        return false;
    }
    // FramePos stays at 22: a repeated end marker delivers the same frame again.
    frameBuf_[frame::Size - 1] = b;
    unpack();
    return true;
}

void FrameDecoder::reject() {
    framePos_ = 0;
    ++frameErr_;
}

bool FrameDecoder::checkPasses(uint8_t endMarker) const {
    uint8_t x = endMarker;
    for (int i = 0; i < frame::Size - 1; ++i) x ^= frameBuf_[i];
    return x == 0;
}

void FrameDecoder::unpack() {
    frame_.codes.fill(0);
    const frame::CodePlace* places = layout_.places();
    for (int k = 0; k < layout_.codeCount; ++k) {
        const int slot = layout_.slotOfCode[k];
        if (slot != frame::NoSlot)
            frame_.codes[slot] = frame::readCode(frameBuf_.data(), places[k]);
    }
    frame_.status = frameBuf_[frame::StatusByte] & frame::StatusMask;
    frame_.calibrationMark = (frameBuf_[frame::MarkByte] & frame::MarkMask) != 0;
}

void FrameDecoder::onCalibrationMark(int& SmpCnt) {
    ++markCnt_;
    if (ln1_.size() > Ln1Limit) ln1_.clear();
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, SmpCnt);
    (void)ec;  // an int always fits in 16 characters
    ln1_ += ' ';
    ln1_.append(digits, end);
    SmpCnt = 0;
}

}  // namespace zv
