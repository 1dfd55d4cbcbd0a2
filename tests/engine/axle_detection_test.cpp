#include <gtest/gtest.h>

#include <cmath>

#include "engine/edge_detection.h"
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

void expectWeighed(const StoredTrain& stored, const std::vector<SimWagon>& train,
                   const std::vector<bool>& locos, const Settings& s, const Arrangement& a) {
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
    const std::vector<SimWagon> tailed{test::freightWagon(70000), test::freightWagon(30000),
                                       test::locomotive(126000)};
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
                         testing::Values(Arrangement{false, 1}, Arrangement{false, -1},
                                         Arrangement{true, 1}, Arrangement{true, -1}),
                         name);

TEST(EdgeDetStep, ArmsAboveTheThresholdAndFiresOnTheReversal) {
    EdgeDet entry;
    EXPECT_FALSE(
        EdgeDetStep(entry, EdgeKind::Entry, 1350, 1000, 0, 1, 350));  // exactly the threshold
    EXPECT_FALSE(entry.Armed);
    EXPECT_FALSE(EdgeDetStep(entry, EdgeKind::Entry, 1351, 1000, 0, 2, 350));
    EXPECT_TRUE(entry.Armed);
    EXPECT_EQ(entry.Count, 1);
    EXPECT_FALSE(
        EdgeDetStep(entry, EdgeKind::Entry, 2000, 1400, 0, 3, 350));  // steeper: the axle's time
    EXPECT_FALSE(EdgeDetStep(entry, EdgeKind::Entry, 2100, 2000, 0, 4, 350));  // higher level
    EXPECT_FALSE(EdgeDetStep(entry, EdgeKind::Entry, 2000, 2100, 0, 5, 350));  // 100 below: not yet
    EXPECT_TRUE(EdgeDetStep(entry, EdgeKind::Entry, 1999, 2000, 0, 6, 350));
    EXPECT_FALSE(entry.Armed);
    EXPECT_EQ(entry.PeakSample, 3u);

    // The last axle leaves: no reversal follows, the empty platform confirms it.
    EdgeDet exit;
    EXPECT_FALSE(EdgeDetStep(exit, EdgeKind::Exit, 1000, 2000, 5000, 10, 350));
    EXPECT_FALSE(EdgeDetStep(exit, EdgeKind::Exit, 990, 1000, 300, 11, 350));  // still falling
    EXPECT_FALSE(
        EdgeDetStep(exit, EdgeKind::Exit, 995, 1000, 500, 12, 350));  // rising, platform loaded
    EXPECT_TRUE(EdgeDetStep(exit, EdgeKind::Exit, 996, 995, 300, 13, 350));
    EXPECT_EQ(exit.PeakSample, 10u);
}

// A platform's only input stays level once an axle has arrived or left: the edge ends when
// its slope flattens, where an input at a platform end would still wait for a reversal.
TEST(EdgeDetStep, OnAPlatformsOnlyInputFiresWhenTheSlopeFlattens) {
    struct Step {
        double u0, u2, load;
    };
    const struct {
        EdgeKind kind;
        Step steps[4];  // arming, steepest, flattening, level
    } edges[] = {
        {EdgeKind::Entry, {{1400, 1000, 0}, {2600, 1400, 0}, {3000, 2600, 0}, {3100, 3000, 0}}},
        {EdgeKind::Exit,
         {{2600, 3000, 9000}, {1400, 2600, 9000}, {1000, 1400, 9000}, {900, 1000, 9000}}},
    };
    for (const auto& edge : edges) {
        SCOPED_TRACE(edge.kind == EdgeKind::Entry ? "entry" : "exit");
        EdgeDet whole, end;
        for (uint32_t i = 0; i < 3; ++i) {
            const Step& st = edge.steps[i];
            EXPECT_FALSE(EdgeDetStep(whole, edge.kind, st.u0, st.u2, st.load, i + 1, 350,
                                     EdgeInput::WholePlatform));
            EdgeDetStep(end, edge.kind, st.u0, st.u2, st.load, i + 1, 350);
        }
        const Step& level = edge.steps[3];
        EXPECT_TRUE(EdgeDetStep(whole, edge.kind, level.u0, level.u2, level.load, 4, 350,
                                EdgeInput::WholePlatform));
        EXPECT_EQ(whole.PeakSample, 2u);
        EXPECT_FALSE(EdgeDetStep(end, edge.kind, level.u0, level.u2, level.load, 4, 350));
        EXPECT_TRUE(end.Armed);
        // The flat tail does not arm the detector again.
        EXPECT_FALSE(EdgeDetStep(whole, edge.kind, level.u0, level.u0, level.load, 5, 350,
                                 EdgeInput::WholePlatform));
        EXPECT_FALSE(whole.Armed);
        EXPECT_EQ(whole.Count, 1);
    }
}

class RecordingObserver : public EngineObserver {
  public:
    void trainPassingChanged(bool passing) override { passingChanges.push_back(passing); }
    void dynamicWeighingChanged(bool enabled) override { gateChanges.push_back(enabled); }
    bool diagnosticsWanted() const override { return true; }
    void diagnosticText(DiagLabel label, std::string_view text) override {
        texts[static_cast<int>(label)] = std::string(text);
    }
    void diagnosticAppend(DiagLabel label, std::string_view text) override {
        texts[static_cast<int>(label)] += std::string(text);
    }
    void diagnosticCell(int col, int row, std::string_view text) override {
        if (col == 4 && row == 3) speedCell = std::string(text);
    }
    std::string text(DiagLabel label) const { return texts[static_cast<int>(label)]; }

    std::vector<bool> passingChanges, gateChanges;
    std::string texts[10];
    std::string speedCell;
};

std::vector<std::array<uint16_t, 8>> idle(int samples, uint16_t code = 2050) {
    return std::vector<std::array<uint16_t, 8>>(samples, {code, 0, code});
}

// The first train after start-up must arrive with a load: a bump without one is dropped at
// once. After a real train, the same bump is a train with no wagon and stores nothing.
TEST(AxleDetection, FalseStartsStoreNothing) {
    Settings s = test::syntheticSettings(false);
    s.Axtr1 = 100;
    WeighingEngine engine(s);
    RecordingObserver seen;
    engine.setObserver(&seen);
    auto bump = idle(300);
    for (int k = 150; k < 160; ++k) bump[k][0] += 400;  // 800 kg for a fifth of a second

    EXPECT_TRUE(test::weigh(engine, bump).back().empty());
    EXPECT_FALSE(engine.state().TrainConfirmed);
    EXPECT_EQ(seen.passingChanges, (std::vector<bool>{true, false}));

    const auto train = test::weigh(engine, test::crossing(s, {}, {test::freightWagon(60000)}));
    EXPECT_EQ(train.back().rows.size(), 1u);
    EXPECT_TRUE(engine.state().TrainConfirmed);

    for (const auto& codes : bump) engine.feed(codes, 0);
    EXPECT_TRUE(engine.trainInProgress());
    EXPECT_TRUE(engine.TrainEnd().empty());
    EXPECT_FALSE(engine.trainInProgress());
}

TEST(AxleDetection, DiagnosticsShowTheWagonsAsTheyComplete) {
    const Settings s = test::syntheticSettings(false);
    WeighingEngine engine(s);
    RecordingObserver seen;
    engine.setObserver(&seen);
    test::weigh(engine, test::crossing(s, {},
                                       {test::freightWagon(60000), test::freightWagon(40000),
                                        test::locomotive(130000)}));
    EXPECT_EQ(seen.text(DiagLabel::La3s), "0 3");  // no both-platform weight, third wagon
    EXPECT_EQ(seen.text(DiagLabel::La6), "3_0");
    EXPECT_EQ(seen.speedCell, "54");
    EXPECT_EQ(seen.text(DiagLabel::La1), "0 0  0 0");
    EXPECT_EQ(seen.text(DiagLabel::La4_), "1 0");  // direction, no second platform
}

// While dynamic weighing is not allowed the train freezes; the time-out still runs.
TEST(AxleDetection, ClosedGateFreezesTheTrain) {
    const Settings s = test::syntheticSettings(false);
    WeighingEngine engine(s);
    RecordingObserver seen;
    engine.setObserver(&seen);
    const auto samples =
        test::crossing(s, {}, {test::freightWagon(60000), test::freightWagon(60000)});
    size_t k = 0;
    uint32_t now = 0;
    while (engine.state().WagonIdx2 == 0) engine.feed(samples[k++], now += 20);
    const uint32_t frozenAt = engine.state().TrainSample;

    engine.setDynamicWeighingAllowed(false);
    for (int n = 0; n < 2000; ++n) engine.feed(samples[std::min(k, samples.size() - 1)], now += 20);
    EXPECT_EQ(engine.state().TrainSample, frozenAt);
    EXPECT_EQ(seen.gateChanges, (std::vector<bool>{false}));
    EXPECT_FALSE(engine.trainEndDue(engine.LastAxleTick() + s.tTrEnd));
    EXPECT_TRUE(engine.trainEndDue(engine.LastAxleTick() + s.tTrEnd + 1));

    engine.setDynamicWeighingAllowed(true);
    for (; k < samples.size(); ++k) engine.feed(samples[k], now += 20);
    EXPECT_EQ(engine.TrainEnd().rows.size(), 2u);
    EXPECT_EQ(seen.gateChanges, (std::vector<bool>{false, true}));
}

TEST(AxleDetection, TimeOutSurvivesTheWrapOfTheTick) {
    const Settings s = test::syntheticSettings(false);
    WeighingEngine engine(s);
    engine.feed({2050, 0, 2050}, 0);
    for (int n = 0; n < 3; ++n) engine.feed({2050, 0, 9000}, 0);  // a rise at the far end
    ASSERT_TRUE(engine.trainInProgress());
    engine.setLastAxleTick(0xFFFFF000u);
    EXPECT_FALSE(engine.trainEndDue(0xFFFFF000u + static_cast<uint32_t>(s.tTrEnd)));
    EXPECT_TRUE(engine.trainEndDue(0xFFFFF000u + static_cast<uint32_t>(s.tTrEnd) + 1));
}

// Arrivals and departures of each axle are the samples of steepest slope: the differences
// follow the axle positions (1850, 8650, 10500 mm at 30 mm per sample) and the platform
// length (166.7 samples).
TEST(AxleDetection, AxleTimesOfAFourAxleWagon) {
    const Settings s = test::syntheticSettings(false);
    WeighingEngine engine(s);
    const auto samples = test::crossing(s, {}, {test::freightWagon(60000)});
    for (size_t k = 0; k + 1 < samples.size(); ++k) engine.feed(samples[k], 0);
    const AxleRec& r = engine.state().AxleRec1[0];
    EXPECT_EQ(r.Axles, 4);
    const double spacing[] = {0, 61.7, 288.3, 350.0};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(r.Entry[k] - r.Entry[1], spacing[k - 1], 1.0) << k;
        EXPECT_NEAR(r.Exit[k] - r.Entry[k], 166.7, 1.0) << k;
    }
}

// A vehicle with five axles in its first group is counted as ten axles: the times beyond
// the eighth are not kept, the count goes on, and the vehicle is stored as a problem.
TEST(AxleDetection, MoreThanEightAxlesOnAWagon) {
    for (bool two : {false, true}) {
        SCOPED_TRACE(two ? "two platforms" : "one platform");
        const Settings s = test::syntheticSettings(two);
        WeighingEngine engine(s);
        const auto trains = test::weigh(
            engine, test::crossing(s, {},
                                   {test::freightWagon(60000), test::oddVehicle(5, 4, 90000),
                                    test::freightWagon(60000), test::freightWagon(60000)}));
        const auto& rows = trains.back().rows;
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows[0].Axle, 4);
        EXPECT_EQ(rows[0].Note, 1);
        EXPECT_EQ(rows[1].Axle, 10);
        EXPECT_GE(rows[1].Note, 4);  // with two platforms the weights may disagree first
    }
}

// Settings that are not positive give stored weights of 0 and nothing undefined.
TEST(AxleDetection, ZeroAndNegativeStepsThroughTheWholePipeline) {
    Settings s = test::syntheticSettings(true);
    s.Dis = 0;
    s.Did = 0;
    s.Didl = -10;
    s.Dids = 0;
    s.Zaut = 0;
    WeighingEngine engine(s);
    const auto rows =
        test::weigh(engine, test::crossing(s, {}, {test::freightWagon(60000)})).back().rows;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Weight, 0);
    EXPECT_NEAR(rows[0].WtFinal, 60000, 600);
    EXPECT_EQ(engine.conditioning().ShownWeight(), 0);
}

// A train of 205 wagons is handed over as a train of 200 and one of 5; no wagon is lost,
// not even those on the platforms at the moment of the hand-over.
TEST(AxleDetection, TrainsLongerThanTwoHundredWagonsAreSplit) {
    for (bool two : {false, true}) {
        SCOPED_TRACE(two ? "two platforms" : "one platform");
        const Settings s = test::syntheticSettings(two);
        std::vector<SimWagon> train;
        for (int i = 0; i < 205; ++i) train.push_back(test::freightWagon(40000 + 100 * i));
        SimRun run;
        run.speed = 60;
        WeighingEngine engine(s);
        const auto trains = test::weigh(engine, test::crossing(s, run, train));
        ASSERT_EQ(trains.size(), 2u);
        ASSERT_EQ(trains[0].rows.size(), 200u);
        ASSERT_EQ(trains[1].rows.size(), 5u);
        for (int i = 0; i < 205; ++i) {
            const StoredWagonRow& row = i < 200 ? trains[0].rows[i] : trains[1].rows[i - 200];
            ASSERT_EQ(row.Axle, 4) << i;
            ASSERT_EQ(row.Note, 1) << i;
            ASSERT_NEAR(row.WtFinal, train[i].mass(), train[i].mass() * 0.01) << i;
        }
    }
}

}  // namespace
}  // namespace zv
