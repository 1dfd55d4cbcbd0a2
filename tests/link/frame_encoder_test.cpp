#include "link/frame_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "link/frame_decoder.h"

namespace zv::test {
namespace {

using Slots = std::array<uint16_t, 8>;

// Slots a layout carries, the way its decoder must hand them back.
Slots carried(const Slots& codes, int Nadc, int Npl) {
    FrameDecoder probe;
    probe.setLayout(Nadc, Npl);
    Slots all;
    all.fill(0xFFFF);
    for (uint8_t b : encodeFrame(all, Nadc, Npl, 0, false)) probe.feed(b);
    Slots expected{};
    for (std::size_t i = 0; i < 8; ++i)
        if (probe.frame().codes[i] != 0) expected[i] = codes[i];
    return expected;
}

TEST(FrameEncoder, EveryLayoutRoundTripsThroughTheDecoder) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> code(0, 0xFFFF);
    for (int Nadc = -1; Nadc <= 3; ++Nadc) {
        for (int Npl = 0; Npl <= 2; ++Npl) {
            FrameDecoder decoder;
            decoder.setLayout(Nadc, Npl);
            for (int n = 0; n < 200; ++n) {
                Slots codes;
                for (auto& s : codes) s = static_cast<uint16_t>(n == 0 ? 0xFFFF : code(random));
                const bool mark = n % 3 == 0;
                const uint8_t status = static_cast<uint8_t>(n % 16);
                const auto bytes = encodeFrame(codes, Nadc, Npl, status, mark, 0x7F);

                uint8_t x = 0;
                for (int i = 0; i < 23; ++i) {
                    x ^= bytes[i];
                    if (i > 0 && i < 22) {
                        ASSERT_LT(bytes[i], 0x80) << "byte " << i;
                    }
                }
                ASSERT_EQ(x, 0);

                bool accepted = false;
                for (uint8_t b : bytes) accepted = decoder.feed(b);
                ASSERT_TRUE(accepted) << Nadc << "/" << Npl;
                EXPECT_EQ(decoder.frame().codes, carried(codes, Nadc, Npl)) << Nadc << "/" << Npl;
                EXPECT_EQ(decoder.frame().calibrationMark, mark);
                if (!(Nadc == 2 && Npl == 1)) {
                    EXPECT_EQ(decoder.frame().status, status);
                }
            }
            EXPECT_EQ(decoder.FrameErr(), 0);
        }
    }
}

}  // namespace
}  // namespace zv::test
