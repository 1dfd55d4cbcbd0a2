// Arbitrary bytes into the frame decoder under every scale configuration: it must never
// leave its buffer, and every frame it accepts must be one the encoder can rebuild.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/frame_decoder.h"
#include "link/frame_encoder.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

void checkAccepted(const zv::FrameDecoder& decoder, int Nadc, int Npl) {
    const zv::DecodedFrame& f = decoder.frame();
    const auto rebuilt = zv::encodeFrame(f.codes, Nadc, Npl, f.status, f.calibrationMark);
    zv::FrameDecoder again;
    again.setLayout(Nadc, Npl);
    bool accepted = false;
    for (uint8_t b : rebuilt) accepted = again.feed(b);
    require(accepted && again.frame().codes == f.codes &&
            again.frame().calibrationMark == f.calibrationMark);
}

void feed(zv::FrameDecoder& decoder, int& SmpCnt, uint8_t b, int Nadc, int Npl) {
    if (decoder.feed(b)) {
        checkAccepted(decoder, Nadc, Npl);
        if (decoder.frame().calibrationMark) decoder.onCalibrationMark(SmpCnt);
    }
    ++SmpCnt;
    require(decoder.FramePos() >= 0 && decoder.FramePos() <= zv::FrameDecoder::BufSize);
    require(decoder.Ln1().size() <= 80 + 12);
}

void runRaw(const uint8_t* data, std::size_t size, int Nadc, int Npl) {
    zv::FrameDecoder decoder;
    decoder.setLayout(Nadc, Npl);
    int SmpCnt = 0;
    for (std::size_t i = 0; i < size; ++i) feed(decoder, SmpCnt, data[i], Nadc, Npl);
}

// Random bytes rarely pass the check, so the input is also read as a stream of good
// frames, each with one byte of it altered (or not) and cut short (or not).
constexpr std::size_t ChunkSize = 21;

void runFramed(const uint8_t* data, std::size_t size, int Nadc, int Npl) {
    zv::FrameDecoder decoder;
    decoder.setLayout(Nadc, Npl);
    int SmpCnt = 0;
    for (std::size_t at = 0; at + ChunkSize <= size; at += ChunkSize) {
        const uint8_t* c = data + at;
        std::array<uint16_t, 8> codes{};
        for (std::size_t k = 0; k < codes.size(); ++k)
            codes[k] = static_cast<uint16_t>(c[2 * k] | (c[2 * k + 1] << 8));
        auto bytes = zv::encodeFrame(codes, Nadc, Npl, c[16], (c[17] & 1) != 0, c[17] >> 1);
        bytes[c[18] % bytes.size()] ^= c[19];
        const std::size_t length = bytes.size() - (c[20] % 4 == 0 ? c[20] % bytes.size() : 0);
        for (std::size_t i = 0; i < length; ++i) feed(decoder, SmpCnt, bytes[i], Nadc, Npl);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    for (int Nadc = -1; Nadc <= 3; ++Nadc)
        for (int Npl = -1; Npl <= 2; ++Npl) {
            runRaw(data, size, Nadc, Npl);
            runFramed(data, size, Nadc, Npl);
        }
    return 0;
}
