#include "engine/weighing_engine.h"

#include <gtest/gtest.h>

#include "synthetic_train.h"

namespace zv {
namespace {

class ReadingObserver : public EngineObserver {
  public:
    void conditioningReading(const ConditioningDisplay& d) override {
        ++readings;
        last = d;
    }
    void zeroButtonReleased() override { ++releases; }
    int readings = 0;
    int releases = 0;
    ConditioningDisplay last;
};

class WeighingEngineTest : public testing::Test {
  protected:
    WeighingEngineTest() : s(test::syntheticSettings(false)), engine(s) {
        engine.setObserver(&seen);
    }
    void feed(int samples, uint16_t code) {
        for (int n = 0; n < samples; ++n) engine.feed({code, 0, code}, 0);
    }
    Settings s;
    WeighingEngine engine;
    ReadingObserver seen;
};

TEST_F(WeighingEngineTest, ConditioningReadingsOnEveryTwelfthSample) {
    feed(23, 2050);
    EXPECT_EQ(seen.readings, 1);
    feed(1, 2050);
    EXPECT_EQ(seen.readings, 2);
    engine.resetBeforeOpen();
    feed(11, 2050);
    EXPECT_EQ(seen.readings, 2);
    feed(1, 2050);
    EXPECT_EQ(seen.readings, 3);
}

// 100 kg above the calibration zero on each end: the power-up zero takes it once eight
// readings agree; the zero button waits for the next stable reading after that and is
// released even though the load is out of its range.
TEST_F(WeighingEngineTest, ZeroingThroughThePipeline) {
    feed(8 * 12, 2050);
    EXPECT_FALSE(engine.ZeroRequest());
    EXPECT_EQ(engine.conditioning().CurZero()[0], 200);
    EXPECT_EQ(seen.last.ShownWeight, 0);

    feed(3 * 12, 4050);  // 8000 kg arrive; the static filter follows slowly
    engine.setZeroButtonPressed(true);
    feed(12, 4050);
    EXPECT_FALSE(seen.last.stable);
    EXPECT_TRUE(engine.zeroButtonPressed());
    feed(20 * 12, 4050);
    EXPECT_FALSE(engine.zeroButtonPressed());
    EXPECT_EQ(seen.releases, 1);
    EXPECT_EQ(engine.conditioning().RefZero()[0], 200);  // 8200 kg is beyond Zman
    EXPECT_EQ(seen.last.ShownWeight, 8000);
    EXPECT_TRUE(seen.last.stable);
}

// "Нуль платформы" and a save: the zero codes now take the dead load. The next reading shows
// the load under the new calibration (no 1 Hz filter ramp, no zero of the old one) and the
// zero is set again once the readings agree.
TEST_F(WeighingEngineTest, NewCalibrationShowsAtOnceAndSetsTheZeroAgain) {
    feed(8 * 12, 2050);
    ASSERT_TRUE(engine.conditioning().zeroState().taken);
    s.a0.fill(2050);
    engine.calibrationChanged();
    feed(12, 2050);
    EXPECT_EQ(seen.last.ShownWeight, 0);
    EXPECT_FALSE(engine.conditioning().zeroState().taken);
    feed(8 * 12, 2050);
    EXPECT_TRUE(engine.conditioning().zeroState().taken);
    EXPECT_EQ(engine.conditioning().CurZero()[0], 0);
    EXPECT_TRUE(seen.last.stable);
    EXPECT_EQ(seen.last.ShownWeight, 0);
}

}  // namespace
}  // namespace zv
