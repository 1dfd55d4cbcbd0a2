#include "settings/calibration_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace zv {
namespace {

InputValues filled(int32_t first, int32_t step) {
    InputValues v{};
    for (size_t i = 0; i < v.size(); ++i) v[i] = first + step * static_cast<int32_t>(i);
    return v;
}

bool roundTrips(const InputValues& a0, const InputValues& ak) {
    const auto coded = encodeCalibration(a0, ak);
    InputValues a0Back{};
    InputValues akBack{};
    return coded && decodeCalibration(*coded, a0Back, akBack) && a0Back == a0 && akBack == ak;
}

TEST(CalibrationCodec, EveryAdmissibleValueRoundTrips) {
    // Every zero code the calibration page admits, eight at a time.
    for (int32_t z = MinZeroCode; z <= MaxZeroCode; z += 8) {
        const int32_t first = std::min(z, MaxZeroCode - 7);
        ASSERT_TRUE(roundTrips(filled(first, 1), filled(MinCoefficient, 1))) << first;
    }
    // The coding is linear, so the coefficients' edges and a sparse walk between them do.
    for (int32_t k = MinCoefficient; k <= MaxCoefficient; k += k < MinCoefficient + 800 ? 8 : 997) {
        ASSERT_TRUE(roundTrips(filled(MaxZeroCode, -1), filled(k, 1))) << k;
        ASSERT_TRUE(
            roundTrips(filled(MinZeroCode, 1), filled(MaxCoefficient - k + MinCoefficient, -1)))
            << k;
    }
    // Coded values of the extremes stay positive.
    const auto extremes = encodeCalibration(filled(MaxZeroCode, 0), filled(MaxCoefficient, 0));
    ASSERT_TRUE(extremes);
    EXPECT_GT(extremes->a0[0], 0);
    EXPECT_GT(extremes->ak[0], 0);
}

TEST(CalibrationCodec, AValueThatCannotBeCodedIsRefused) {
    EXPECT_FALSE(encodeCalibration(filled(1, 0), filled(INT32_MAX, 0)));
    EXPECT_FALSE(encodeCalibration(filled(INT32_MIN, 0), filled(MinCoefficient, 0)));
}

// One coded key changed by hand (key as in the file, delta added to its coded value).
struct Damage {
    std::string key;
    int32_t delta;
};

class CalibrationDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(CalibrationDamage, ResetsOnlyTheGroupOfTheDamagedKey) {
    const InputValues a0 = {1000, 1100, 1200, 1300, 2100, 2200, 2300, 2400};
    const InputValues ak = {990000, 991000, 992000, 993000, 1010000, 1020000, 1030000, 1040000};
    CodedCalibration coded = *encodeCalibration(a0, ak);

    const Damage& d = GetParam();
    const size_t i = d.key[2] - '0';
    int32_t& target = d.key == "a0k"    ? coded.a0k
                      : d.key == "a1k"  ? coded.a1k
                      : d.key[1] == '0' ? coded.a0[i]
                                        : coded.ak[i];
    target += d.delta;
    const int damagedGroup = d.key == "a0k" ? 0 : d.key == "a1k" ? 1 : static_cast<int>(i / 4);

    InputValues a0Read{};
    InputValues akRead{};
    EXPECT_FALSE(decodeCalibration(coded, a0Read, akRead));
    for (size_t s = 0; s < 8; ++s) {
        const bool reset = static_cast<int>(s / 4) == damagedGroup;
        EXPECT_EQ(a0Read[s], reset ? FallbackZeroCode : a0[s]) << "slot " << s;
        EXPECT_EQ(akRead[s], reset ? FallbackCoefficient : ak[s]) << "slot " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(
    OneKeyEdited, CalibrationDamage,
    ::testing::Values(Damage{"ak1", 1},            // not a multiple
                      Damage{"ak6", 1000},         // one digit changed
                      Damage{"a03", -7},           // not a multiple
                      Damage{"ak5", CoefFactor},   // a multiple: another coefficient
                      Damage{"a04", -CoefFactor},  // a multiple: another zero code
                      Damage{"a0k", 1}, Damage{"a1k", 1 << 20}));

TEST(CalibrationCodec, AChangeOfOneDigitNeverPassesAsAMultiple) {
    for (int32_t digit = 1; digit <= 9; ++digit)
        for (int64_t place = 1; place <= 100000000; place *= 10)
            EXPECT_NE((digit * place) % CoefFactor, 0) << digit * place;
}

TEST(CalibrationCodec, AbsentKeysReadAsDamagedAndResetBothGroups) {
    CodedCalibration coded;
    coded.a0.fill(AbsentZeroCodeKey);
    coded.ak.fill(AbsentCoefficientKey);
    coded.a0k = coded.a1k = AbsentChecksumKey;
    InputValues a0{};
    InputValues ak{};
    EXPECT_FALSE(decodeCalibration(coded, a0, ak));
    EXPECT_EQ(a0, filled(FallbackZeroCode, 0));
    EXPECT_EQ(ak, filled(FallbackCoefficient, 0));
}

}  // namespace
}  // namespace zv
