#include <gtest/gtest.h>

#include <cmath>

#include "engine/weighing_engine.h"
#include "synthetic_train.h"

namespace zv {
namespace {

using test::SimRun;
using test::SimWagon;

struct Arrangement {
    bool two;
    int direction;
};

std::string name(const testing::TestParamInfo<Arrangement>& info) {
    return std::string(info.param.two ? "TwoPlatforms" : "OnePlatform") +
           (info.param.direction > 0 ? "Entering" : "Leaving");
}

class SyntheticTrain : public testing::TestWithParam<Arrangement> {};

void expectWeighed(const StoredTrain& stored, const std::vector<SimWagon>& train, const std::vector<bool>& locos,
                   const Settings& s, const Arrangement& a) {
    const auto& rows = stored.rows;
    ASSERT_EQ(rows.size(), train.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("vehicle " + std::to_string(i));
        EXPECT_EQ(rows[i].Axle, static_cast<int>(train[i].axles.size()));
        EXPECT_NEAR(rows[i].WtFinal, train[i].mass(), train[i].mass() * 0.01);
        EXPECT_EQ(rows[i].Weight % s.Did, 0);
        EXPECT_EQ(rows[i].Note, locos[i] ? 3 : 1);
        EXPECT_EQ(rows[i].Direc, a.direction > 0 ? 0 : 1);
        EXPECT_NEAR(rows[i].Speed, 54, 1);  // 30 mm per sample at 50 Hz
        EXPECT_NEAR(rows[i].BaseB, locos[i] ? 2000 : 1850, 40);
        EXPECT_NEAR(rows[i].BaseW, locos[i] ? 10000 : 8650, 100);
        EXPECT_NE(rows[i].Wei3, 0);
        EXPECT_EQ(rows[i].Wei2 != 0, a.two);
        // A locomotive's bogies are too far apart to stand on the two platforms at once.
        EXPECT_EQ(rows[i].Wei1 != 0, a.two && !locos[i]);
    }
}

// A train headed by a locomotive, then one with a locomotive at its tail, through the same
// engine: every vehicle is found with its axle count, weight, speed and bases, and both
// locomotives are marked.
TEST_P(SyntheticTrain, WeighsEveryVehicle) {
    const Arrangement a = GetParam();
    const Settings s = test::syntheticSettings(a.two);
    const std::vector<SimWagon> headed{test::locomotive(132000), test::freightWagon(60000),
                                       test::freightWagon(24000), test::freightWagon(88000)};
    const std::vector<SimWagon> tailed{test::freightWagon(70000), test::freightWagon(30000), test::locomotive(126000)};
    SimRun run;
    run.direction = a.direction;
    WeighingEngine engine(s);

    const auto first = test::weigh(engine, test::crossing(s, run, headed));
    ASSERT_EQ(first.size(), 1u);
    expectWeighed(first[0], headed, {true, false, false, false}, s, a);

    const auto second = test::weigh(engine, test::crossing(s, run, tailed));
    ASSERT_EQ(second.size(), 1u);
    expectWeighed(second[0], tailed, {false, false, true}, s, a);
    EXPECT_FALSE(engine.trainInProgress());
}

INSTANTIATE_TEST_SUITE_P(Arrangements, SyntheticTrain,
                         testing::Values(Arrangement{false, 1}, Arrangement{false, -1}, Arrangement{true, 1},
                                         Arrangement{true, -1}),
                         name);

}  // namespace
}  // namespace zv
