#include "engine/bogie_wagon_weights.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class WeightsTest : public testing::Test {
  protected:
    // Weighs the first bogie from one accumulator and the wagon from a second one.
    WeightRec weighFirstPlatform(int axles, double acc1, int cnt1, double acc2, int cnt2) {
        t.WagonAxles1 = axles;
        t.Acc1 = acc1;
        t.Cnt1 = cnt1;
        WeiBogie0(t, s, silent);
        t.Acc1 = acc2;
        t.Cnt1 = cnt2;
        WeiWagon0(t, s, silent);
        return t.WagonWeights[t.WagonIdx1];
    }
    Settings s;
    TrainState t;
    EngineObserver silent;
};

TEST_F(WeightsTest, BogieWeightIsTheScaledMeanOrPeak) {
    const struct {
        int axles;
        double acc;
        int cnt;
        int32_t kd, weight;
    } cases[] = {
        {4, 120000, 30, 1000000, 4000}, {4, 120000, 30, 1010000, 4040},
        {8, 45000, 0, 1010000, 45450},   // eight axles: the accumulator is a maximum
        {4, 45000, 0, 1000000, 0},       // nothing collected
        {4, -500, 10, 1000000, 0},       // a net load that never rose above zero
        {6, 100001, 2, 1000000, 50000},  // 50000.5 rounds to even
    };
    for (const auto& c : cases) {
        t.WagonAxles1 = c.axles;
        t.Acc1 = c.acc;
        t.Cnt1 = c.cnt;
        s.kd = c.kd;
        WeiBogie0(t, s, silent);
        EXPECT_EQ(t.WagonWeights[0].Wt1, c.weight) << c.acc << " / " << c.cnt;
        EXPECT_EQ(t.Acc1, 0.0);
        EXPECT_EQ(t.Cnt1, 0);
    }
}

TEST_F(WeightsTest, WagonWeightIsTheSumOfItsBogies) {
    const struct {
        int axles;
        double acc1;
        int cnt1;
        double acc2;
        int cnt2;
        int32_t weight, diff;
    } cases[] = {
        {4, 300000, 10, 250000, 10, 55000, 5000},
        {8, 41000, 0, 39000, 0, 80000, 2000},  // round(max1) + round(max2)
        {4, 8000, 10, 6500, 10, 0, 0},         // 800 + 650 is below MinWagonWeight
        {4, 0, 0, 600000, 10, 0, 0},           // first bogie not weighed
        {4, 300000, 10, 0, 0, 0, 0},           // second bogie not weighed
    };
    for (const auto& c : cases) {
        t.BogieDiff[0].Diff1 = 12345;  // left over from an earlier train
        const WeightRec w = weighFirstPlatform(c.axles, c.acc1, c.cnt1, c.acc2, c.cnt2);
        EXPECT_EQ(w.Wt1, c.weight) << c.acc1 << " + " << c.acc2;
        EXPECT_EQ(t.BogieDiff[0].Diff1, c.diff) << c.acc1 << " + " << c.acc2;
    }
}

TEST_F(WeightsTest, BothPlatformWeightIsTheMeanOfTheWholeWagon) {
    const struct {
        double acc12;
        int cnt12;
        int32_t weight;
    } cases[] = {{1200000, 20, 60000}, {28000, 20, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        t.Acc12 = c.acc12;
        t.Cnt12 = c.cnt12;
        weighFirstPlatform(4, 300000, 10, 300000, 10);
        EXPECT_EQ(t.WagonWeights[0].Wt12, c.weight);
        EXPECT_EQ(t.Acc12, c.acc12);  // left for the axle detection to clear
    }
}

TEST_F(WeightsTest, SecondPlatformUsesItsOwnAccumulatorAndIndex) {
    t.WagonIdx2 = 3;
    t.WagonAxles2 = 4;
    t.Acc2 = 200000;
    t.Cnt2 = 10;
    WeiBogie1(t, s, silent);
    t.Acc2 = 150000;
    t.Cnt2 = 10;
    WeiWagon1(t, s, silent);
    EXPECT_EQ(t.WagonWeights[3].Wt2, 35000);
    EXPECT_EQ(t.BogieDiff[3].Diff2, 5000);
    EXPECT_EQ(t.WagonWeights[3].Wt12, 0);
}

}  // namespace
}  // namespace zv
