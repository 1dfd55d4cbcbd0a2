// The weighing by axle loads on simulated trains with a realistic signal: noise, each axle's
// oscillation as it rolls on, each body's bounce.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/axle_load_method.h"
#include "replay/replay_run.h"
#include "simulator/train_simulator.h"
#include "support/test_scale.h"

namespace zv {
namespace {

// The bodies bounce at a frequency of their own anywhere in 1-3 Hz, which the weighing has to
// find: it changes from passage to passage.
SignalModel realistic(uint64_t seed) {
    SignalModel signal;
    signal.noiseKg = 10;
    signal.bounceShare = 0.03;
    signal.bodyShare = 0.01;
    const double bodyHz[] = {1.5, 1.17, 1.93, 2.71};
    signal.bodyHz = bodyHz[seed % 4];
    signal.seed = seed;
    return signal;
}

Settings byAxleLoads(int platforms, int32_t length, int Fadc) {
    Settings s = test::scaleSettings(platforms - 1, 1);
    s.WeighMethod = kWeighByAxleLoads;
    s.Lp1 = s.Lp2 = length;
    s.Fadc = Fadc;
    // The detector sees a step's slope over two samples: the faster the converter, the
    // lower its threshold, as commissioning sets it.
    s.Axtr1 = 350 * 50 / Fadc;
    s.Vmax = 12;
    return s;
}

// How the wagons of some passages came out against their masses.
struct Tally {
    int wagons = 0, within = 0, weighedBeyond = 0;
    double largest = 0;  // per cent, of those stored as weighed
    void add(const StoredWagonRow& row, double mass, double limit, double never) {
        const double error = 100 * (row.WtFinal - mass) / mass;
        ++wagons;
        if (row.Note == 1 && std::abs(error) <= limit) ++within;
        if (row.Note == 1 && std::abs(error) > never) ++weighedBeyond;
        if (row.Note == 1 && std::abs(error) > std::abs(largest)) largest = error;
    }
    double share() const { return wagons ? double(within) / wagons : 0; }
};

std::vector<StoredWagonRow> weigh(const Settings& s, const TrainDescription& train, uint64_t seed) {
    std::vector<StoredWagonRow> rows;
    for (const StoredTrain& t : replaySimulatedTrain(s, train, realistic(seed)).trains)
        rows.insert(rows.end(), t.rows.begin(), t.rows.end());
    return rows;
}

TrainDescription trainOf(std::vector<VehicleDescription> vehicles, double kmh, int direction) {
    TrainDescription train;
    train.vehicles = std::move(vehicles);
    train.speed = {kmh, kmh};
    train.direction = direction;
    train.emptySeconds = 1;
    return train;
}

// Four- and six-axle wagons, empty and loaded, from 3 to 12 km/h at 50, 100 and 200 Hz:
// within 0.2 % (class 0.2 in service) in at least 99 of 100 and never stored as weighed
// beyond 0.5 %, although above 8 km/h a body's bounce (1 %) does not average out over the
// wagon's few seconds on the scale.
TEST(AxleLoadAccuracy, FourAndSixAxleWagonsWithinClassPointTwoUpToTwelveKmh) {
    Tally all;
    uint64_t seed = 1;
    for (int Fadc : {50, 100, 200})
        for (double kmh : {3.0, 7.5, 10.0, 12.0})
            for (int direction : {1, -1}) {
                const Settings s = byAxleLoads(2, 5000, Fadc);
                const TrainDescription train =
                    trainOf({makeWagon(4, 88000), makeWagon(4, 24000), makeWagon(6, 126000),
                             makeWagon(6, 32000), makeWagon(4, 60000, 8000)},
                            kmh, direction);
                const auto rows = weigh(s, train, seed++);
                ASSERT_EQ(rows.size(), train.vehicles.size()) << Fadc << " Hz, " << kmh << " km/h";
                for (size_t i = 0; i < rows.size(); ++i)
                    all.add(rows[i], train.vehicles[i].mass(), 0.2, 0.5);
            }
    EXPECT_GE(all.share(), 0.99) << all.within << " of " << all.wagons << ", largest "
                                 << all.largest << " %";
    EXPECT_EQ(all.weighedBeyond, 0) << "largest " << all.largest << " %";
}

// Eight-axle wagons, empty behind loaded and loaded behind empty, over one and two
// platforms of 5 and 6 m: within 0.5 % in at least 95 of 100, never stored as weighed
// beyond 1 %.
TEST(AxleLoadAccuracy, EightAxleWagonsWithinClassPointFive) {
    Tally tally;
    uint64_t seed = 100;
    for (int platforms : {1, 2})
        for (int32_t length : {5000, 6000})
            for (bool loadedFirst : {true, false})
                for (int direction : {1, -1}) {
                    const Settings s = byAxleLoads(platforms, length, 50);
                    const VehicleDescription loaded = makeWagon(8, 168000), empty = makeWagon(8, 44000);
                    const TrainDescription train = trainOf(
                        {makeWagon(4, 60000), loadedFirst ? loaded : empty, loadedFirst ? empty : loaded,
                         loadedFirst ? loaded : empty},
                        8, direction);
                    const auto rows = weigh(s, train, seed++);
                    ASSERT_EQ(rows.size(), train.vehicles.size());
                    for (size_t i = 1; i < rows.size(); ++i)
                        tally.add(rows[i], train.vehicles[i].mass(), 0.5, 1.0);
                }
    EXPECT_GE(tally.share(), 0.95) << tally.within << " of " << tally.wagons << ", largest "
                                   << tally.largest << " %";
    EXPECT_EQ(tally.weighedBeyond, 0);
}

// Locomotives at the head and at the tail over one 5 m platform, where the three-axle
// bogie leaves under a metre of travel alone: recognised at every speed up to 12 km/h.
TEST(AxleLoadAccuracy, LocomotivesRecognisedUpToTwelveKmh) {
    uint64_t seed = 200;
    for (double kmh : {3.0, 6.0, 10.0, 12.0})
        for (bool head : {true, false}) {
            SCOPED_TRACE(testing::Message() << kmh << " km/h, " << (head ? "head" : "tail"));
            std::vector<VehicleDescription> vehicles = {makeWagon(4, 88000), makeWagon(4, 24000)};
            vehicles.insert(head ? vehicles.begin() : vehicles.end(), makeLocomotive(130000));
            const auto rows = weigh(byAxleLoads(1, 5000, 50), trainOf(vehicles, kmh, 1), seed++);
            ASSERT_EQ(rows.size(), 3u);
            const size_t loco = head ? 0 : 2;
            EXPECT_EQ(rows[loco].Note, 3);
            EXPECT_NEAR(rows[loco].WtFinal, 130000, 1300);
        }
}

}  // namespace
}  // namespace zv
