#include "engine/conditioning.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

// Static loads with W0 = p1 and W1 = p2; a load on W01 makes readings differ.
LoadValues loads(double p1, double p2 = 0.0, double w01 = 0.0) {
    LoadValues v{};
    v[0] = p1;
    v[1] = w01;
    v[5] = p2;
    return v;
}

class ConditioningTest : public testing::Test {
  protected:
    // Eight equal readings: the history holds nothing else, the reading is stable.
    ConditioningDisplay settle(const LoadValues& v) {
        ConditioningDisplay d;
        for (int n = 0; n < 8; ++n) d = c.reading(v, button, s);
        return d;
    }
    // Readings while the load settles: unstable until eight equal readings, so zeroing
    // sees only the final value.
    ConditioningDisplay settleAfterDisturbance(const LoadValues& v) {
        unsteady(v[0], v[5]);
        return settle(v);
    }
    // A reading right after a very different one: unstable.
    ConditioningDisplay unsteady(double p1, double p2 = 0.0) {
        c.reading(loads(p1, p2, 1000.0), button, s);
        return c.reading(loads(p1, p2, 0.0), button, s);
    }
    Settings s;
    Conditioning c;
    bool button = false;
};

// A stable display moves one division only 0.9 of a division away from the shown value.
TEST_F(ConditioningTest, StableWeightHasHysteresis) {
    s.Dis = 20;
    s.Zaut = 0;  // no zero tracking while the load changes
    settle(loads(0));
    const struct {
        int total, shown;
    } steps[] = {{100, 100}, {109, 100}, {117, 100}, {119, 120}, {111, 120}, {101, 100}};
    for (const auto& st : steps) {
        const ConditioningDisplay d = settle(loads(st.total));
        EXPECT_TRUE(d.stable);
        EXPECT_EQ(d.ShownWeight, st.shown) << "total " << st.total;
    }
}

TEST_F(ConditioningTest, UnstableWeightRoundsHalvesToEven) {
    s.Dis = 20;
    const struct {
        int total, shown;
    } cases[] = {{50, 40}, {70, 80}, {30, 40}, {10, 0}, {-30, -40}};
    for (const auto& k : cases) {
        const ConditioningDisplay d = unsteady(k.total);
        EXPECT_FALSE(d.stable);
        EXPECT_EQ(d.ShownWeight, k.shown) << "total " << k.total;
    }
}

TEST_F(ConditioningTest, PowerUpZeroWaitsForAStableReading) {
    unsteady(300);
    EXPECT_TRUE(c.ZeroRequest);
    settleAfterDisturbance(loads(200, 100));
    EXPECT_FALSE(c.ZeroRequest);
    EXPECT_EQ(c.RefZero()[0], 200);
    EXPECT_EQ(c.CurZero()[5], 100);
    EXPECT_EQ(c.NetLoad()[0], 0);
}

TEST_F(ConditioningTest, PowerUpZeroOutOfRangeIsDropped) {
    settleAfterDisturbance(loads(600, 600));  // 1200 kg on both platforms, Zpwr 1000
    EXPECT_FALSE(c.ZeroRequest);
    EXPECT_EQ(c.CurZero()[0], 0);
    EXPECT_EQ(c.NetLoad()[0] + c.NetLoad()[5], 1200);
}

TEST_F(ConditioningTest, ZeroButtonIsServedOnAStableReadingWithinRange) {
    settleAfterDisturbance(loads(0));
    button = true;
    unsteady(800);
    EXPECT_TRUE(button);  // waits for a stable reading
    settleAfterDisturbance(loads(800));
    EXPECT_FALSE(button);
    EXPECT_EQ(c.RefZero()[0], 800);
    EXPECT_EQ(c.NetLoad()[0], 0);

    button = true;
    settleAfterDisturbance(
        loads(2000));  // 1200 above the zero, but the range counts from the calibration
    EXPECT_FALSE(button);
    EXPECT_EQ(c.RefZero()[0], 800);
    EXPECT_EQ(c.NetLoad()[0], 1200);
}

// Automatic tracking follows small drifts but never farther than Zaut from the last
// power-up or operator zero.
TEST_F(ConditioningTest, AutomaticZeroTrackingStaysNearTheReferenceZero) {
    settleAfterDisturbance(loads(0));
    settleAfterDisturbance(loads(200));
    EXPECT_EQ(c.CurZero()[0], 200);
    EXPECT_EQ(c.RefZero()[0], 0);
    EXPECT_EQ(c.NetLoad()[0], 0);
    settleAfterDisturbance(loads(300));
    EXPECT_EQ(c.CurZero()[0], 200);
    EXPECT_EQ(c.NetLoad()[0], 100);
}

TEST_F(ConditioningTest, OverloadBeyondNineDivisionsAboveMaximum) {
    s.Wmax = 200000;
    s.Dis = 20;
    EXPECT_FALSE(unsteady(200180).overload);
    EXPECT_TRUE(unsteady(200200).overload);
}

TEST_F(ConditioningTest, CentreOfGravityOfAWagonAcrossBothPlatforms) {
    LoadValues v{};
    v = {50000, 25000, 25000, 26000, 24000, 30000, 15000, 15000, 15000, 15000};
    const ConditioningDisplay d = settle(v);
    EXPECT_EQ(c.StaticBase(), 8710);  // 4690 * 0.5 + 4690 * 0.5 + 4020
    EXPECT_EQ(c.OffLong(), 1088);     // 20000 * 8710 / 160000, truncated
    EXPECT_EQ(c.OffTrans1(), 32);     // 2000 * 1610 / 2 / 50000
    EXPECT_EQ(c.OffTrans2(), 0);
    EXPECT_EQ(c.OffTrans(), 20);  // (32 * 50000 + 0 * 30000) / 80000
    EXPECT_EQ(d.L1, 20000);
    EXPECT_EQ(d.L2, 1090);
    EXPECT_EQ(d.L3, 8710);
    EXPECT_EQ(d.L4, 20);
    EXPECT_FALSE(d.Lds0Empty);
    EXPECT_EQ(d.Lds0, 2345);
}

TEST_F(ConditioningTest, OnePlatformHasNoStaticBase) {
    LoadValues v{};
    v = {40000, 20000, 20000, 21000, 19000, 0, 0, 0, 0, 0};
    const ConditioningDisplay d = settle(v);
    EXPECT_EQ(c.StaticBase(), 0);
    EXPECT_EQ(c.OffLong(), 0);
    EXPECT_EQ(c.OffTrans(), c.OffTrans1());
    EXPECT_EQ(c.OffTrans1(), 40);  // 2000 * 1610 / 2 / 40000 = 40.25
    EXPECT_EQ(d.L1, 40000);
    EXPECT_TRUE(d.Lds1Empty);
}

// Readings whose half-platform loads spread by `spread` kg, as noise on a platform makes them.
void noisyReadings(Conditioning& c, const Settings& s, bool& button, int readings, int spread,
                   double total = 0) {
    for (int n = 0; n < readings; ++n)
        c.reading(loads(total, 0, n % 2 == 0 ? spread : 0), button, s);
}

// What the zero state says after a minute of readings at 50 Hz (250 readings), by platform.
TEST_F(ConditioningTest, ZeroStateSaysWhetherTheZeroWasTakenAndWhyNot) {
    struct Case {
        const char* platform;
        int spread;  // of the noise, kg
        double total;
        bool taken;
        ZeroFailure failure;
        const char* text;
    };
    const Case cases[] = {
        {"quiet", 0, 300, true, ZeroFailure::None, "Ноль не установлен"},
        {"noise just below Zst", 49, 300, true, ZeroFailure::None, "Ноль не установлен"},
        {"noise at Zst", 50, 300, false, ZeroFailure::Unsettled,
         "Ноль не установлен: показания весов не успокаиваются, разброс не меньше 50 кг при "
         "Zst = 50 кг (шум на платформе больше допустимого)"},
        {"a wagon standing on it", 0, 1200, false, ZeroFailure::OutOfRange,
         "Ноль не установлен: на весах 1200 кг, ноль при включении устанавливается до Zpwr = "
         "1000 кг"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.platform);
        Conditioning fresh;
        fresh.reading(loads(k.total, 0, 1000), button, s);  // the load arriving
        noisyReadings(fresh, s, button, 248, k.spread, k.total);
        const ZeroState& z = fresh.zeroState();
        EXPECT_EQ(z.taken, k.taken);
        EXPECT_EQ(z.failure, k.failure);
        EXPECT_FALSE(zeroOverdue(z, 50));
        noisyReadings(fresh, s, button, 1, k.spread, k.total);
        EXPECT_EQ(zeroOverdue(z, 50), !k.taken);
        EXPECT_EQ(zeroFailureText(z), k.text);
        if (k.taken) {
            EXPECT_EQ(fresh.CurZero()[0], 300);
        }
    }
}

// The zero button mends a zero the power-up refused; a zero asked for again starts anew.
TEST_F(ConditioningTest, ZeroStateFollowsTheButtonAndTheNextRequest) {
    s.Zman = 1500;
    settleAfterDisturbance(loads(1200));
    ASSERT_EQ(c.zeroState().failure, ZeroFailure::OutOfRange);
    button = true;
    settleAfterDisturbance(loads(1600));
    EXPECT_EQ(zeroFailureText(c.zeroState()),
              "Ноль не установлен: на весах 1600 кг, ноль кнопкой →0← устанавливается до Zman = "
              "1500 кг");
    button = true;
    settleAfterDisturbance(loads(1200));
    EXPECT_TRUE(c.zeroState().taken);
    EXPECT_EQ(c.zeroState().failure, ZeroFailure::None);

    c.ZeroRequest = true;  // the port opened again
    noisyReadings(c, s, button, 10, 80, 1200);
    EXPECT_FALSE(c.zeroState().taken);
    EXPECT_EQ(c.zeroState().readings, 10);
    EXPECT_EQ(c.zeroState().leastSpread, 80);
    EXPECT_EQ(c.zeroState().failure, ZeroFailure::Unsettled);
    EXPECT_EQ(c.CurZero()[0], 1200) << "the old zero stays until the new one is set";
}

// Under a new calibration the old zero is void: the loads count from the calibration zero
// at once, and the next stable reading sets the zero.
TEST_F(ConditioningTest, NewCalibrationVoidsTheZeroAndAsksForANewOne) {
    s.Dis = 10;
    settleAfterDisturbance(loads(300));
    ASSERT_EQ(c.CurZero()[0], 300);
    c.calibrationChanged();
    EXPECT_TRUE(c.ZeroRequest);
    EXPECT_EQ(unsteady(20).ShownWeight, 20);
    EXPECT_FALSE(c.zeroState().taken);
    const ConditioningDisplay d = settle(loads(20));
    EXPECT_TRUE(c.zeroState().taken);
    EXPECT_EQ(c.CurZero()[0], 20);
    EXPECT_EQ(d.ShownWeight, 0);
}

// Steps that are not positive and a zero empty-platform limit give zeros, never a
// division by zero.
TEST_F(ConditioningTest, ZeroOrNegativeStepsGiveZeroes) {
    s.Dis = 0;
    s.Didl = -10;
    s.Dids = 0;
    s.Zaut = 0;
    for (const LoadValues& v :
         {loads(0), LoadValues{30000, 15000, 15000, 16000, 14000, 0, 0, 0, 0, 0}}) {
        const ConditioningDisplay d = settle(v);
        EXPECT_EQ(d.ShownWeight, 0);
        EXPECT_EQ(d.L1, 0);
        EXPECT_EQ(d.L2, 0);
        EXPECT_EQ(d.L3, 0);
        EXPECT_EQ(d.L4, 0);
        EXPECT_EQ(d.Lw0, 0);
        EXPECT_EQ(c.StaticBase(), 0);
    }
}

}  // namespace
}  // namespace zv
