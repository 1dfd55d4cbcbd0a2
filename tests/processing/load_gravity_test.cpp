#include "processing/load_gravity.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

LoadGravityInput input(double newWeight, int entryLoad, int exitLoad) {
    LoadGravityInput in;
    in.newWeight = newWeight;
    in.weight = 23000;
    in.tareW = 23000;
    in.weiL = 200;
    in.offTrans = 15;
    in.imbalance = 1200;
    in.base = 8650;
    in.entryLoad = entryLoad;
    in.exitLoad = exitLoad;
    in.Dis = 20;
    in.Didl = 10;
    in.Dids = 10;
    return in;
}

TEST(LoadGravity, OffsetsOfTheLoadBetweenTheTwoWeighings) {
    // Leaves loaded: 70000 gross over a 23000 tare stencilled on the wagon.
    auto g = loadGravity(input(70000, 0, 5));
    ASSERT_TRUE(g);
    EXPECT_DOUBLE_EQ(g->imbalance, 1000);
    EXPECT_EQ(g->wl, 1000);
    EXPECT_EQ(g->ds, 20);  // R(15*70000 / (47000*10)) * 10 = R(2.23) * 10
    EXPECT_EQ(g->dl, 90);  // R(8650*1000 / (2*47000*10)) * 10 = R(9.2) * 10

    // Came loaded: the reference is the first weighing with its own transverse moment.
    auto in = input(23000, 5, 0);
    in.weight = 70000;
    in.disS = 10;
    g = loadGravity(in);
    ASSERT_TRUE(g);
    EXPECT_DOUBLE_EQ(g->imbalance, -1000);
    EXPECT_EQ(g->ds, 10);  // R((700000 - 345000) / (47000*10)) * 10 = R(0.755) * 10
    EXPECT_EQ(g->dl, -90);

    EXPECT_FALSE(loadGravity(input(23000, 0, 0)));  // no load either way
}

TEST(LoadGravity, EqualWeightsGiveZerosInsteadOfDividingByZero) {
    const auto g = loadGravity(input(23000, 0, 5));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->ds, 0);
    EXPECT_EQ(g->dl, 0);
    EXPECT_EQ(g->wl, 0);
    EXPECT_EQ(g->imbalance, 0);
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

TEST(MotionLoadImbalance, TakesTheSideThatCarriesTheLoad) {
    struct Case {
        int entry, exit;
        QVariant now, before, expected;
    };
    const QVariant none;
    const Case cases[] = {
        {0, 5, none, 300, none},   // leaves loaded, nothing measured now
        {5, 0, -200, none, none},  // came loaded, nothing stored at acceptance
        {5, 5, 700, none, none},   // loaded in transit, nothing stored at acceptance
        {5, 5, 700, 100, 600},     // loaded in transit
        {0, 5, 700, none, 700},    // leaves loaded, empty at acceptance unknown
        {0, 5, 700, 100, 600},     // leaves loaded: now minus before
        {5, 0, 100, 700, 600},     // came loaded: before minus now
        {5, 0, none, 700, 700},    // came loaded, nothing now: kept
        {0, 0, 100, 50, 50},       // no load either way: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entry << "->" << c.exit);
        EXPECT_EQ(motionLoadImbalance(c.entry, c.exit, c.now, c.before), c.expected);
    }
}

}  // namespace
}  // namespace zv
