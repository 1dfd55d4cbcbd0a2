#include "link/frame_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/frame_bytes.h"

namespace zv::test {
namespace {

constexpr uint8_t Start = 0xCC;
constexpr uint8_t End = 0xC3;

const Slots A{1, 2, 3, 4, 5, 6, 7, 8};
const Slots B{60000, 1, 65535, 0, 512, 511, 4, 3};

struct Received {
    std::vector<Slots> samples;
    int frameErr = 0;
    int framePos = 0;
};

Received feedAll(FrameDecoder& decoder, const Bytes& bytes) {
    Received run;
    for (uint8_t b : bytes)
        if (decoder.feed(b)) run.samples.push_back(decoder.frame().codes);
    run.frameErr = decoder.FrameErr();
    run.framePos = decoder.FramePos();
    return run;
}

struct StreamCase {
    const char* name;
    Bytes bytes;
    std::vector<Slots> samples;
    int frameErr;
    int framePos;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameDecoderStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(FrameDecoderStream, YieldsSamplesAndCounters) {
    const StreamCase& c = GetParam();
    FrameDecoder decoder;
    decoder.setLayout(2, 1);
    const Received run = feedAll(decoder, c.bytes);
    EXPECT_EQ(run.samples, c.samples);
    EXPECT_EQ(run.frameErr, c.frameErr);
    EXPECT_EQ(run.framePos, c.framePos);
}

const Bytes overlong = Bytes{Start} + Bytes(25, 0x01);

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, FrameDecoderStream,
    ::testing::Values(
        StreamCase{"GoodFrame", frameOf(A), {A}, 0, 22},
        StreamCase{"NoiseBeforeAndBetweenFramesIsNotCounted",
                   Bytes{0x11, 0x7F} + frameOf(A) + Bytes{0x22} + frameOf(B), {A, B}, 0, 22},
        StreamCase{"BadCheckCountedOnceThenNextFrameAccepted",
                   corrupted(frameOf(A)) + frameOf(B), {B}, 1, 22},
        StreamCase{"SecondStartMarkerDropsTheFirstFrameSilently",
                   firstBytes(frameOf(A), 12) + frameOf(B), {B}, 0, 22},
        StreamCase{"EndMarkerAfter20DataBytes",
                   firstBytes(frameOf(A), 21) + Bytes{End} + frameOf(B), {B}, 1, 22},
        StreamCase{"BytesBeyondTheBufferAreDropped", overlong, {}, 0, 24},
        StreamCase{"EndMarkerAfter25DataBytes", overlong + Bytes{End}, {}, 1, 0},
        StreamCase{"RepeatedEndMarkerDeliversTheSameSampleAgain",
                   frameOf(A) + Bytes{End, End}, {A, A, A}, 0, 22},
        StreamCase{"DataAfterAFrameMakesTheNextEndMarkerOverlong",
                   frameOf(A) + Bytes{0x05, End}, {A}, 1, 0},
        StreamCase{"StrayEndMarkerWhileIdle", Bytes{End}, {}, 1, 0},
        // The stray byte and then the orphaned end marker are two errors.
        StreamCase{"StrayHighByteInsideAFrame",
                   firstBytes(frameOf(A), 8) + Bytes{0x90} + Bytes(13, 0x01) + Bytes{End}, {}, 2,
                   0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// clang-format off
// Frames put together by hand from the byte map, so that the decoder is checked against
// the map itself and not only against the encoder.
Bytes handFrame(std::initializer_list<std::pair<int, uint8_t>> bytes) {
    Bytes f(23, 0);
    f[0] = Start;
    f[22] = End;
    for (auto [at, value] : bytes) f[static_cast<std::size_t>(at)] = value;
    uint8_t x = 0;
    for (int i = 0; i < 23; ++i)
        if (i != 21) x ^= f[static_cast<std::size_t>(i)];
    f[21] = x;
    return f;
}

// c0..c3 = 522, 1555, 2585, 3619; status 5; calibration mark.
const Bytes fourCodeFrame = handFrame(
    {{2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 0x5B}, {11, 0x45}, {20, 0x08}});

// c0..c7 = 65533, 3, 513, 5, 1038, 8321, 32775, 64854; byte 11 gives status 3; mark.
const Bytes eightCodeFrame = handFrame({{2, 0x7F}, {3, 0x7F}, {6, 1}, {9, 1}, {10, 2}, {11, 3},
                                        {12, 0x10}, {13, 0x20}, {14, 0x40}, {15, 1}, {16, 0x7E},
                                        {17, 0x55}, {18, 0x3A}, {19, 0x67}, {20, 0x48}});

// clang-format on

struct LayoutCase {
    const char* name;
    int Nadc;
    int Npl;
    const Bytes* frame;
    Slots codes;
    uint8_t status;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameDecoderLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(FrameDecoderLayout, PlacesCodesInSlots) {
    const LayoutCase& c = GetParam();
    FrameDecoder decoder;
    // A full frame first, so that a slot the layout leaves out cannot keep an old code.
    decoder.setLayout(2, 1);
    feedAll(decoder, eightCodeFrame);

    decoder.setLayout(c.Nadc, c.Npl);
    const Received run = feedAll(decoder, *c.frame);
    ASSERT_EQ(run.samples.size(), 1u);
    EXPECT_EQ(decoder.frame().codes, c.codes);
    EXPECT_EQ(decoder.frame().status, c.status);
    EXPECT_TRUE(decoder.frame().calibrationMark);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, FrameDecoderLayout,
    ::testing::Values(
        LayoutCase{"OneInputOnePlatform", 0, 0, &fourCodeFrame, {522, 0, 0, 0, 0, 0, 0, 0}, 5},
        LayoutCase{"OneInputTwoPlatforms", 0, 1, &fourCodeFrame, {522, 0, 0, 0, 1555, 0, 0, 0}, 5},
        LayoutCase{"TwoInputsOnePlatform", 1, 0, &fourCodeFrame, {522, 0, 1555, 0, 0, 0, 0, 0}, 5},
        LayoutCase{"TwoInputsTwoPlatforms", 1, 1, &fourCodeFrame,
                   {522, 0, 1555, 0, 2585, 0, 3619, 0}, 5},
        LayoutCase{"FourInputsOnePlatform", 2, 0, &fourCodeFrame,
                   {522, 1555, 2585, 3619, 0, 0, 0, 0}, 5},
        LayoutCase{"FourInputsTwoPlatforms", 2, 1, &eightCodeFrame,
                   {65533, 3, 513, 5, 1038, 8321, 32775, 64854}, 3},
        LayoutCase{"UnknownInputCount", 3, 0, &fourCodeFrame, {}, 5},
        LayoutCase{"UnknownPlatformCount", 2, 2, &fourCodeFrame, {}, 5},
        LayoutCase{"NegativeInputCount", -1, 1, &fourCodeFrame, {}, 5}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(FrameDecoder, CalibrationMarksListSampleCountsAndWrapTheList) {
    FrameDecoder decoder;
    int SmpCnt = 0;
    for (int i = 0; i < 40; ++i) {
        SmpCnt = 5;
        decoder.onCalibrationMark(SmpCnt);
        ASSERT_EQ(SmpCnt, 0);
    }
    EXPECT_EQ(decoder.Ln1().substr(0, 6), " 5 5 5");
    EXPECT_EQ(decoder.Ln1().size(), 80u);

    // Exactly 80 characters is not yet too long; 83 is.
    SmpCnt = 50;
    decoder.onCalibrationMark(SmpCnt);
    EXPECT_EQ(decoder.Ln1().size(), 83u);
    SmpCnt = 7;
    decoder.onCalibrationMark(SmpCnt);
    EXPECT_EQ(decoder.Ln1(), " 7");
    EXPECT_EQ(decoder.MarkCnt(), 42);
}

TEST(FrameDecoder, ResetBeforeOpeningClearsStateAndCounters) {
    FrameDecoder decoder;
    decoder.setLayout(2, 1);
    int SmpCnt = 3;
    const Bytes frame = frameOf(A);
    feedAll(decoder, corrupted(frame) + firstBytes(frame, 10));
    decoder.onCalibrationMark(SmpCnt);

    decoder.reset();
    EXPECT_EQ(decoder.FramePos(), 0);
    EXPECT_EQ(decoder.FrameErr(), 0);
    EXPECT_EQ(decoder.MarkCnt(), 0);
    EXPECT_EQ(decoder.Ln1(), " 3");
    // The half-received frame is gone: its tail alone is not accepted.
    const Received run = feedAll(decoder, Bytes(frame.begin() + 10, frame.end()));
    EXPECT_TRUE(run.samples.empty());
    EXPECT_EQ(run.frameErr, 1);
}

}  // namespace
}  // namespace zv::test
