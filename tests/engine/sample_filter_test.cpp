#include "engine/sample_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "engine/engine_observer.h"
#include "engine/filter_coefficients.h"

namespace zv {
namespace {

TEST(FiltCoef, WorkedExampleAtFiftyHertz) {
    struct Case {
        double fc;
        Section expected;
    };
    const Case cases[] = {
        {10.0, {0.1839029944, -0.3289756774, 0.06458765492}},  // CfPl, Fflt = 10
        {1.0, {0.003533495923, -1.778313488, 0.7924474718}},   // CfStat
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fc);
        CoefSet set;
        FiltCoef(50, 2, c.fc, set);
        EXPECT_NEAR(set[1].g, c.expected.g, 1e-10);
        EXPECT_NEAR(set[1].a1, c.expected.a1, 1e-9);
        EXPECT_NEAR(set[1].a2, c.expected.a2, 1e-10);
    }
}

// Whatever the settings hold, every section has static gain 1 and its poles inside the
// unit circle: a cut-off at or above half the rate, zero, negative, or no rate at all.
TEST(FiltCoef, AnyCutoffGivesAStableSectionWithUnitGain) {
    const struct {
        int Fs;
        double fc;
    } cases[] = {{50, 10}, {50, 25}, {50, 40},  {10, 50}, {50, 0},
                 {50, -3}, {0, 10},  {-50, 10}, {200, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Fs << " Hz, cut-off " << c.fc);
        CoefSet set;
        FiltCoef(c.Fs, 2, c.fc, set);
        for (const Section& k : set) {
            ASSERT_TRUE(std::isfinite(k.g) && std::isfinite(k.a1) && std::isfinite(k.a2));
            EXPECT_NEAR(4 * k.g, 1 + k.a1 + k.a2, 1e-12);
            // Roots of z^2 + a1 z + a2.
            const std::complex<double> root =
                std::sqrt(std::complex<double>(k.a1 * k.a1 - 4 * k.a2));
            EXPECT_LT(std::abs((-k.a1 + root) / 2.0), 1.0);
            EXPECT_LT(std::abs((-k.a1 - root) / 2.0), 1.0);
        }
    }
}

class SampleFilterTest : public testing::Test {
  protected:
    void SetUp() override {
        s.a0.fill(1000);
        s.ak.fill(2000000);  // 2 kg per code
        filter.FiltCoef(s);
    }
    void feed(const std::array<uint16_t, 8>& codes) {
        filter.setAdcCodes(codes);
        filter.DatFilt(s, silent);
    }
    Settings s;
    SampleFilter filter;
    EngineObserver silent;
};

// After a restart a constant input is every filtered value from the first sample on.
TEST_F(SampleFilterTest, RestartSettlesOnTheFirstSample) {
    s.Npl = 1;
    s.Nadc = 2;
    const std::array<uint16_t, 8> codes{1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800};
    for (int n = 0; n < 3; ++n) {
        feed(codes);
        for (int ch = 0; ch < 8; ++ch)
            for (int stage = 0; stage < 6; ++stage)
                EXPECT_NEAR(filter.ChFlt(ch, stage, 0), codes[ch], 1e-9);
        for (int row : {0, 3, 7}) {
            EXPECT_NEAR(filter.PlW(0, row, 0), 2 * (100 + 200 + 300 + 400), 1e-9);  // W0
            EXPECT_NEAR(filter.PlW(1, row, 0), 2 * (100 + 200), 1e-9);              // W01
            EXPECT_NEAR(filter.PlW(4, row, 0), 2 * (200 + 400), 1e-9);              // W13
            EXPECT_NEAR(filter.PlW(7, row, 0), 2 * (700 + 800), 1e-9);              // W67
        }
    }
    EXPECT_EQ(filter.SmpCnt(), 3);
    EXPECT_EQ(filter.FltRestart(), 0);
}

// The static signal follows a step far more slowly than the dynamic ones (about 88 and 7
// samples to 99 % at 50 Hz).
TEST_F(SampleFilterTest, StaticSignalFollowsAStepSlowly) {
    feed({1000});
    int dynamic = 0, stat = 0;
    for (int n = 1; n <= 200 && stat == 0; ++n) {
        feed({2000});
        if (dynamic == 0 && filter.ChFlt(0, 5, 0) >= 1990) dynamic = n;
        if (filter.ChFlt(0, 2, 0) >= 1990) stat = n;
    }
    EXPECT_GE(dynamic, 5);
    EXPECT_LE(dynamic, 9);
    EXPECT_GE(stat, 80);
    EXPECT_LE(stat, 95);
}

// Platform quantities per arrangement of inputs (codes 100 kg, 200 kg, ... above zero).
TEST_F(SampleFilterTest, PlatformQuantitiesFollowTheInputArrangement) {
    const std::array<uint16_t, 8> codes{1050, 1100, 1150, 1200, 1250, 1300, 1350, 1400};
    struct Case {
        int Npl, Nadc;
        std::array<double, 10> expected;  // W0 W01 W23 W02 W13 W1 W45 W67 W46 W57
    };
    const Case cases[] = {
        {0, 0, {100, 50, 50, 50, 50, 0, 0, 0, 0, 0}},
        {1, 1, {400, 100, 300, 200, 200, 1200, 500, 700, 600, 600}},
        {1, 2, {1000, 300, 700, 400, 600, 2600, 1100, 1500, 1200, 1400}},
        {1, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},  // not a valid arrangement: nothing written
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Npl " << c.Npl << " Nadc " << c.Nadc);
        s.Npl = c.Npl;
        s.Nadc = c.Nadc;
        SampleFilter fresh;
        fresh.FiltCoef(s);
        fresh.setAdcCodes(codes);
        fresh.DatFilt(s, silent);
        for (int q = 0; q < 10; ++q)
            EXPECT_NEAR(fresh.PlW(q, 0, 0), c.expected[q], 1e-9) << "q " << q;
    }
}

class ReadoutObserver : public EngineObserver {
  public:
    bool calibrationReadoutsWanted() const override { return true; }
    void calibrationReadouts(const CalibrationReadouts& r) override { last = r; }
    CalibrationReadouts last;
};

TEST_F(SampleFilterTest, CalibrationReadoutsOnlyWhenWanted) {
    s.Npl = 0;
    s.Nadc = 1;
    ReadoutObserver readouts;
    filter.setAdcCodes({1500, 0, 1250});
    filter.DatFilt(s, readouts);
    EXPECT_EQ(readouts.last.raw[0], 1500);
    EXPECT_EQ(readouts.last.stat[2], 1250);
    EXPECT_EQ(readouts.last.loads[0], 1500);
    EXPECT_TRUE(readouts.last.hasTotal);
    EXPECT_EQ(readouts.last.total, 1500);
}

}  // namespace
}  // namespace zv
