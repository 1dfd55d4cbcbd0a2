#include "admin/calibration.h"

#include <gtest/gtest.h>

namespace {

using zv::CalibrationEdits;
using zv::CalibrationTarget;
using zv::CalibrationType;
using zv::SlotReadings;
using zv::SlotValues;

CalibrationEdits editsWith(int32_t zero, int32_t coef) {
    CalibrationEdits e;
    e.zero.fill(zero);
    e.coef.fill(coef);
    return e;
}

// The load (kg) an input carries at a code: (code - zero) * coefficient / 1e6.
double load(double code, int32_t zero, int32_t coef) { return (code - zero) * coef / 1e6; }

TEST(Calibration, IndependentInputTakesTheMassOverItsCodeSpan) {
    CalibrationEdits e = editsWith(1000, 2000000);
    SlotReadings now{};
    now[4] = 1000.0;
    e.zero[4] = 7;
    const CalibrationTarget input5{CalibrationType::Independent, 4, false};
    zv::zeroPlatform(input5, now, e);
    EXPECT_EQ(e.zero[4], 1000);
    EXPECT_EQ(e.zero[0], 1000);  // no other input is touched
    SlotValues first{};
    now[4] = 6000.0;
    EXPECT_TRUE(zv::calibrateFirst(input5, now, 5000, e, first).ok());
    EXPECT_EQ(e.coef[4], 1000000);
    EXPECT_EQ(first, SlotValues{});
}

TEST(Calibration, PairRatioTwoInputsFindsBothCoefficients) {
    CalibrationEdits e = editsWith(1, 2000000);
    const CalibrationTarget platform1{CalibrationType::PairRatio, 0, false};
    SlotReadings now{};
    now[0] = now[2] = 1000.0;
    zv::zeroPlatform(platform1, now, e);
    SlotValues first{};
    now[0] = 4000.0;
    now[2] = 2000.0;
    ASSERT_TRUE(zv::calibrateFirst(platform1, now, 4000, e, first).ok());
    EXPECT_EQ(e.coef[0], 2000000);  // the first position only records codes
    now[0] = 2000.0;
    now[2] = 4000.0;
    ASSERT_TRUE(zv::calibrateSecond(platform1, now, 4000, first, e).ok());
    EXPECT_EQ(e.coef[0], 1000000);
    EXPECT_EQ(e.coef[2], 1000000);
}

TEST(Calibration, PairRatioFourInputsUsesTheRatiosOfTheOddInputs) {
    // Each end is a pair whose right input gives half the left one's load per code.
    CalibrationEdits e = editsWith(1000, 500000);
    const CalibrationTarget platform2{CalibrationType::PairRatio, 4, true};
    const int32_t trueLeft = 1000000;
    SlotValues first{};
    SlotReadings now{};
    auto place = [&](double endA, double endB) {
        // loads (kg) on the ends, shared equally between left and right inputs
        now[4] = 1000 + endA / 2 * 1e6 / trueLeft;
        now[5] = 1000 + endA / 2 * 1e6 / (trueLeft / 2);
        now[6] = 1000 + endB / 2 * 1e6 / trueLeft;
        now[7] = 1000 + endB / 2 * 1e6 / (trueLeft / 2);
    };
    place(3000, 1000);
    ASSERT_TRUE(zv::calibrateFirst(platform2, now, 4000, e, first).ok());
    place(1000, 3000);
    ASSERT_TRUE(zv::calibrateSecond(platform2, now, 4000, first, e).ok());
    EXPECT_EQ(e.coef[4], trueLeft);
    EXPECT_EQ(e.coef[6], trueLeft);
    EXPECT_EQ(e.coef[5], 500000);  // the ratios stay as they were
}

TEST(Calibration, SymmetricLoadGivesEachSideHalfTheMassInBothPositions) {
    const SlotValues truth = {1000000, 1200000, 800000, 1100000, 0, 0, 0, 0};
    const int32_t W = 4000;
    SlotReadings pos1{}, pos2{};
    // Each side carries W/2: three quarters near one end in position 1, near the other in 2.
    auto codes = [&](SlotReadings& r, double nearShare) {
        for (int side = 0; side < 2; ++side) {
            r[side] = 1000 + W / 2.0 * nearShare * 1e6 / truth[side];
            r[side + 2] = 1000 + W / 2.0 * (1 - nearShare) * 1e6 / truth[side + 2];
        }
    };
    codes(pos1, 0.75);
    codes(pos2, 0.25);
    CalibrationEdits e = editsWith(1000, 2000000);
    const CalibrationTarget platform1{CalibrationType::Symmetric, 0, true};
    SlotValues first{};
    ASSERT_TRUE(zv::calibrateFirst(platform1, pos1, W, e, first).ok());
    ASSERT_TRUE(zv::calibrateSecond(platform1, pos2, W, first, e).ok());
    for (int side = 0; side < 2; ++side) {
        SCOPED_TRACE(side);
        const double at1 = load(first[side], 1000, e.coef[side]) +
                           load(first[side + 2], 1000, e.coef[side + 2]);
        const double at2 = load(pos2[side], 1000, e.coef[side]) +
                           load(pos2[side + 2], 1000, e.coef[side + 2]);
        EXPECT_NEAR(at1, W / 2.0, 1.0);
        EXPECT_NEAR(at2, W / 2.0, 1.0);
        EXPECT_NEAR(e.coef[side], truth[side], truth[side] * 0.002);
    }
}

TEST(Calibration, ResultsAreRoundedHalfToEvenAndLimitedToTheEditRanges) {
    struct Case {
        double value;
        int32_t zero;
        int32_t coef;
    };
    const Case cases[] = {
        {20000.5, 20000, 20000},    {20001.5, 20002, 20002},       {0.2, 1, 10000},
        {-5.0, 1, 10000},           {50000.6, 50000, 50001},       {9999999.5, 50000, 10000000},
        {1e12, 50000, 10000000},    {-1e12, 1, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(zv::storedZeroCode(c.value), c.zero);
        EXPECT_EQ(zv::storedCoefficient(c.value), c.coef);
    }
}

TEST(Calibration, ALimitedResultIsWhatTheNextFormulaUses) {
    // A tiny code span would give K0 far above the range: it is stored as the maximum and
    // K2 follows from the stored value.
    CalibrationEdits e = editsWith(1000, 2000000);
    const CalibrationTarget platform1{CalibrationType::PairRatio, 0, false};
    SlotValues first{};
    SlotReadings now{};
    now[0] = 1001;
    now[2] = 1000;
    ASSERT_TRUE(zv::calibrateFirst(platform1, now, 100000, e, first).ok());
    now[0] = 1000;
    now[2] = 1002;
    ASSERT_TRUE(zv::calibrateSecond(platform1, now, 100000, first, e).ok());
    EXPECT_EQ(e.coef[0], 10000000);
    EXPECT_EQ(e.coef[2], 5000000);  // 10000000 * 1 / 2
}

TEST(Calibration, AZeroDivisorStopsTheStepAndNamesIt) {
    const CalibrationTarget independent{CalibrationType::Independent, 0, false};
    CalibrationEdits e = editsWith(1000, 1234567);
    SlotValues first{};
    SlotReadings now{};
    now[0] = 1000.0 - 1e-9;  // a filter settled on the zero code
    zv::CalibrationStep step = zv::calibrateFirst(independent, now, 5000, e, first);
    EXPECT_EQ(step.zeroDivisor, "C - A");
    EXPECT_EQ(e.coef[0], 1234567);

    // Symmetric: the second side's determinant vanishes, the first side is already set.
    const CalibrationTarget symmetric{CalibrationType::Symmetric, 0, true};
    e = editsWith(1000, 1234567);
    first = {2000, 1000, 1500, 1000, 0, 0, 0, 0};
    now = {1500, 1000, 2000, 1000, 0, 0, 0, 0};
    step = zv::calibrateSecond(symmetric, now, 4000, first, e);
    EXPECT_EQ(step.zeroDivisor, "det2");
    EXPECT_NE(e.coef[0], 1234567);
    EXPECT_EQ(e.coef[1], 1234567);
    EXPECT_EQ(e.coef[2], 1234567);
    EXPECT_EQ(e.coef[3], 1234567);

    // Pair ratio: the second end did not move.
    const CalibrationTarget pair{CalibrationType::PairRatio, 0, false};
    e = editsWith(1000, 1234567);
    first = {2000, 0, 1500, 0, 0, 0, 0, 0};
    now = {1500, 0, 1500, 0, 0, 0, 0, 0};
    EXPECT_EQ(zv::calibrateSecond(pair, now, 4000, first, e).zeroDivisor, "D3");
    EXPECT_EQ(e.coef[0], 1234567);
}

TEST(Calibration, RatiosAndCoefficientsConvertBothWays) {
    EXPECT_EQ(zv::pairRatio(1500000, 1000000), 1500000);
    EXPECT_EQ(zv::coefficientFromRatio(1000000, 987654), 987654);
    EXPECT_EQ(zv::coefficientFromRatio(1500000, 1000001), 1500002);  // 1500001.5 -> even
    EXPECT_EQ(zv::coefficientFromRatio(zv::pairRatio(1234567, 1000000), 1000000), 1234567);
}

}  // namespace
