#include "engine/train_completion.h"

#include <gtest/gtest.h>

#include "engine/wagon_completion.h"

namespace zv {
namespace {

class TrainEndTest : public testing::Test {
  protected:
    // Wagons completed on the last platform, as WagonEnd leaves them.
    void addWagon(int32_t axles, int32_t weight, int32_t bogieBase, int32_t wagonBase,
                  int32_t note = 1) {
        const int i = t.WagonIdx2++;
        t.WagonResult[i] = {axles, wagonBase, bogieBase, 54, note};
        t.WagonWeights[i].WtFinal = weight;
        t.WagonWeights[i].Wt1 = weight + 10;
    }
    Settings s;
    TrainState t;
    EngineObserver silent;
};

TEST_F(TrainEndTest, WeightIsRoundedToTheDynamicDivision) {
    const struct { int32_t Did, weight; } cases[] = {{50, 60350}, {20, 60320}, {0, 0}, {-50, 0}};
    for (const auto& c : cases) {
        t.Direction = 1;
        addWagon(4, 60328, 1800, 8650);
        s.Did = c.Did;
        const StoredTrain train = TrainEnd(t, s, silent);
        ASSERT_EQ(train.rows.size(), 1u);
        EXPECT_EQ(train.rows[0].Weight, c.weight) << "Did " << c.Did;
        EXPECT_EQ(train.rows[0].WtFinal, 60328);
        EXPECT_EQ(train.rows[0].Wei3, 60338);
    }
}

TEST_F(TrainEndTest, LocomotiveAtTheTailOfATrainLeaving) {
    t.Direction = -1;
    for (int i = 0; i < 4; ++i) addWagon(4, 60000, 1800, 8650);
    addWagon(6, 95000, 2000, 10000);
    const StoredTrain train = TrainEnd(t, s, silent);
    ASSERT_EQ(train.rows.size(), 5u);
    EXPECT_EQ(train.rows[4].Note, 3);
    EXPECT_EQ(train.rows[3].Note, 1);
    for (const StoredWagonRow& row : train.rows) EXPECT_EQ(row.Direc, 1);
    EXPECT_EQ(t.Direction, 0);
    EXPECT_EQ(t.WagonIdx2, 0);
}

TEST_F(TrainEndTest, TailCheckLooksAtTheLastTwoWagonsEachOnItsOwn) {
    t.Direction = 1;
    addWagon(4, 60000, 1800, 8650);
    addWagon(6, 120000, 1850, 9000, 5);  // short wagon base, whatever note it had
    addWagon(4, 30000, 1800, 8650);      // not a locomotive
    const StoredTrain train = TrainEnd(t, s, silent);
    EXPECT_EQ(train.rows[0].Note, 1);
    EXPECT_EQ(train.rows[1].Note, 3);
    EXPECT_EQ(train.rows[2].Note, 1);
}

TEST_F(TrainEndTest, NoTailCheckAfterALeadingLocomotive) {
    t.Direction = 1;
    addWagon(6, 95000, 2000, 10000, 3);
    addWagon(6, 95000, 2000, 10000);
    t.LocoCount = 1;
    EXPECT_EQ(TrainEnd(t, s, silent).rows[1].Note, 1);
}

TEST_F(TrainEndTest, ResultsAreClampedToTheTableRange) {
    t.Direction = 1;
    addWagon(10, 60000, -700, 40000);
    t.WagonResult[0].Speed10 = 33000;
    const StoredWagonRow row = TrainEnd(t, s, silent).rows[0];
    EXPECT_EQ(row.Axle, 10);
    EXPECT_EQ(row.BaseB, -100);
    EXPECT_EQ(row.BaseW, 32767);
    EXPECT_EQ(row.Speed, 32767);
}

TEST_F(TrainEndTest, TrainWithoutCompletedWagonsStoresNothing) {
    t.Direction = 1;
    t.WagonIdx1 = 1;  // a wagon still on the second platform
    EXPECT_TRUE(TrainEnd(t, s, silent).empty());
    EXPECT_EQ(t.Direction, 0);
    EXPECT_EQ(t.WagonIdx1, 0);
}

}  // namespace
}  // namespace zv
