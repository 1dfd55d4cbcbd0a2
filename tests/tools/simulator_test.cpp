#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "simulator/train_file.h"
#include "simulator/train_schedule.h"
#include "simulator/train_simulator.h"
#include "simulator/truth_csv.h"
#include "support/test_scale.h"

namespace zv {
namespace {

using test::scaleSettings;

SignalModel quiet() {
    SignalModel s;
    s.noiseKg = 0;
    s.bounceShare = 0;
    s.deadLoadKg = 0;
    return s;
}

TrainDescription oneWagon(double kmh, int direction = +1) {
    TrainDescription t;
    t.vehicles = {makeWagon(4, 60000, 12000)};
    t.speed = {kmh, kmh};
    t.direction = direction;
    t.emptySeconds = 1;
    return t;
}

std::vector<std::array<uint16_t, 8>> simulate(const Settings& s, const TrainDescription& t,
                                              const SignalModel& signal = quiet()) {
    SampleList list;
    TrainSimulator(s, t, signal).run(list);
    return list.samples;
}

double kg(const Settings& s, int slot, uint16_t code) {
    return (code - s.a0[slot]) * (s.ak[slot] / 1e6);
}

struct ShareCase {
    int npl, nadc;
    double x, offset;
    std::array<double, 8> expected;
};

TEST(ScaleModelTest, SharesALoadByTheLeverRuleAndBetweenTheRails) {
    const ShareCase cases[] = {
        {0, 2, 1000, 0, {400, 400, 100, 100, 0, 0, 0, 0}},
        {0, 2, 1000, 161, {480, 320, 120, 80, 0, 0, 0, 0}},  // b1 1610: a tenth to rail A
        {0, 1, 4000, 0, {200, 0, 800, 0, 0, 0, 0, 0}},
        {0, 0, 2500, 0, {1000, 0, 0, 0, 0, 0, 0, 0}},
        {1, 1, 9650, 0, {0, 0, 0, 0, 800, 0, 200, 0}},  // 1000 mm onto the second platform
        {1, 1, 6000, 0, {0, 0, 0, 0, 0, 0, 0, 0}},      // on the intermediate element
        {0, 1, 5000, 0, {0, 0, 0, 0, 0, 0, 0, 0}},      // just past the far end
    };
    for (const ShareCase& c : cases) {
        ScaleModel scale(scaleSettings(c.npl, c.nadc));
        std::array<double, 8> loads{};
        scale.addLoad(c.x, 1000, c.offset, loads);
        for (int slot = 0; slot < 8; ++slot)
            EXPECT_NEAR(loads[slot], c.expected[slot], 1e-9) << "x " << c.x << " slot " << slot;
    }
}

TEST(TrainSimulatorTest, EmptyScaleReadsZeroCodePlusDeadLoadOnUsedSlotsOnly) {
    Settings s = scaleSettings(1, 1);
    SignalModel signal = quiet();
    signal.deadLoadKg = 400;  // 200 kg per input, 100 codes
    auto samples = simulate(s, oneWagon(8), signal);
    EXPECT_EQ(samples.front(), (std::array<uint16_t, 8>{1100, 0, 1100, 0, 1100, 0, 1100, 0}));
    EXPECT_EQ(samples.back(), samples.front());
}

TEST(TrainSimulatorTest, PlatformTotalShowsEachBogieAlone) {
    Settings s = scaleSettings(0, 1);
    auto samples = simulate(s, oneWagon(5));
    std::vector<long> totals;
    for (const auto& codes : samples)
        totals.push_back(std::lround(kg(s, 0, codes[0]) + kg(s, 2, codes[2])));
    // Front bogie 36 t, rear bogie 24 t; they never share the 5 m platform.
    EXPECT_NEAR(*std::max_element(totals.begin(), totals.end()), 36000, 4);
    EXPECT_EQ(std::count_if(totals.begin(), totals.end(),
                            [](long t) { return std::abs(t - 24000) <= 4; }) > 10,
              true);
    EXPECT_EQ(totals.front(), 0);
    EXPECT_EQ(totals.back(), 0);
}

int firstSlotToRise(const std::vector<std::array<uint16_t, 8>>& samples) {
    for (const auto& codes : samples)
        for (int slot = 0; slot < 8; ++slot)
            if (codes[slot] > samples.front()[slot] + 100) return slot;
    return -1;
}

TEST(TrainSimulatorTest, DirectionDecidesWhichEndTheTrainReachesFirst) {
    struct Case {
        int npl, direction, slot;
    };
    for (Case c : {Case{0, +1, 0}, Case{0, -1, 2}, Case{1, +1, 0}, Case{1, -1, 6}})
        EXPECT_EQ(firstSlotToRise(simulate(scaleSettings(c.npl, 1), oneWagon(8, c.direction))),
                  c.slot)
            << "platforms " << c.npl + 1 << " direction " << c.direction;
}

TEST(TrainSimulatorTest, AnAxleCrossesThePlatformInLengthOverSpeed) {
    Settings s = scaleSettings(0, 1);
    auto samples = simulate(s, oneWagon(9));  // 2500 mm/s over 5000 mm: 100 samples at 50 Hz
    long arrival = -1, departure = -1;
    for (size_t k = 1; k < samples.size(); ++k) {
        if (arrival < 0 && samples[k][0] > samples[k - 1][0] + 1000) arrival = k;
        if (departure < 0 && samples[k][2] + 1000 < samples[k - 1][2]) departure = k;
    }
    EXPECT_NEAR(departure - arrival, 100, 1);
    // One second of empty scale each side and the whole wagon crossing at 2.5 m/s.
    double crossing = (12210 - 1710 + 5000) / 2500.0 * 50;
    EXPECT_NEAR(static_cast<double>(samples.size()), 100 + crossing, 2);
}

TEST(TrainSimulatorTest, TheSameSeedGivesTheSameSamples) {
    Settings s = scaleSettings(1, 2);
    SignalModel signal;
    auto first = simulate(s, oneWagon(8), signal);
    EXPECT_EQ(simulate(s, oneWagon(8), signal), first);
    TrainSimulator again(s, oneWagon(8), signal);
    SampleList firstRun, secondRun;
    again.run(firstRun);
    again.run(secondRun);
    EXPECT_EQ(secondRun.samples, firstRun.samples);
    signal.seed = 2;
    EXPECT_NE(simulate(s, oneWagon(8), signal), first);
}

TEST(TrainSimulatorTest, CodesStopAtTheEndsOfSixteenBits) {
    Settings s = scaleSettings(0, 0);
    s.ak.fill(1000000);  // 1 kg per code: a 140 t locomotive bogie overflows one input
    TrainDescription t = oneWagon(8);
    t.vehicles = {makeLocomotive(140000)};
    auto samples = simulate(s, t);
    auto highest = std::max_element(samples.begin(), samples.end(),
                                    [](const auto& a, const auto& b) { return a[0] < b[0]; });
    EXPECT_EQ((*highest)[0], 65535);
    s.a0.fill(-5000);
    EXPECT_EQ(simulate(s, t).front()[0], 0);
}

TEST(TrainSimulatorTest, RefusesATrainOrScaleItCannotModel) {
    auto refuses = [](Settings s, TrainDescription t) {
        EXPECT_THROW(TrainSimulator(s, t), std::invalid_argument);
    };
    TrainDescription good = oneWagon(8);
    Settings noCoefficient = scaleSettings(1, 1);
    noCoefficient.ak[6] = 0;
    refuses(noCoefficient, good);
    Settings threePlatforms = scaleSettings(2, 1);
    refuses(threePlatforms, good);
    TrainDescription t = good;
    t.vehicles.clear();
    refuses(scaleSettings(0, 1), t);
    t = good;
    t.vehicles[0].axles = 5;
    refuses(scaleSettings(0, 1), t);
    t = good;
    t.speed.endKmh = 0;
    refuses(scaleSettings(0, 1), t);
    t = good;
    t.vehicles[0].wagonBase = 1500;  // the bogies would overlap
    refuses(scaleSettings(0, 1), t);
}

// Empty scale, train 1, pause, train 2 the other way with the next seed, then the end.
TEST(TrainScheduleTest, PlaysTheTrainsInTurnWithEmptyScaleBetween) {
    Settings s = scaleSettings(1, 1);
    SignalModel signal = quiet();
    signal.noiseKg = 2;
    TrainDescription train = oneWagon(10);
    TrainSchedule schedule(s, train, signal, {.waitSeconds = 1, .pauseSeconds = 2, .trains = 2});
    std::vector<std::array<uint16_t, 8>> played;
    while (!schedule.finished()) played.push_back(schedule.next());

    auto first = simulate(s, train, signal);
    train.direction = -1;
    ++signal.seed;
    auto second = simulate(s, train, signal);
    ASSERT_EQ(played.size(), 50 + first.size() + 100 + second.size());
    const std::array<uint16_t, 8> empty = first.front();  // the scale before the train
    auto nearlyEmpty = [&](auto from, long count) {
        return std::all_of(from, from + count, [&](const std::array<uint16_t, 8>& codes) {
            return std::abs(codes[0] - empty[0]) < 10 && std::abs(codes[4] - empty[4]) < 10;
        });
    };
    auto at = played.begin();
    EXPECT_TRUE(nearlyEmpty(at, 50));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), at + 50));
    at += 50 + static_cast<long>(first.size());
    EXPECT_TRUE(nearlyEmpty(at, 100));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), at + 100));
    EXPECT_EQ(schedule.trainsStarted(), 2);
}

TEST(TrainDescriptionTest, AxlesSitSymmetricallyAroundTheBogieCentres) {
    EXPECT_EQ(axleOffsets(makeWagon(4, 60000)), (std::vector<double>{1710, 3560, 10360, 12210}));
    EXPECT_EQ(axleOffsets(makeWagon(6, 90000)),
              (std::vector<double>{950, 2700, 4450, 11950, 13700, 15450}));
    EXPECT_EQ(axleOffsets(makeWagon(8, 120000)),
              (std::vector<double>{2195, 4045, 4695, 6545, 13695, 15545, 16195, 18045}));
    TrainDescription t;
    t.vehicles = {makeLocomotive(120000), makeWagon(4, 60000, 4000)};
    auto axles = axleLayout(t);
    ASSERT_EQ(axles.size(), 10u);
    EXPECT_DOUBLE_EQ(axles[6].offset, 17000 + 1710);
    EXPECT_DOUBLE_EQ(axles[0].load, 20000);
    EXPECT_DOUBLE_EQ(axles[6].load, 16000);
    EXPECT_DOUBLE_EQ(axles[9].load, 14000);
}

TEST(TruthTest, DescribesEachVehicleAsAStoredRowWould) {
    TrainDescription t;
    t.vehicles = {makeWagon(4, 60000, 2000), makeLocomotive(130000)};
    t.direction = -1;
    t.speed = {10, 4};
    Settings s = scaleSettings(0, 1);
    auto truth = TrainSimulator(s, t).truth();
    ASSERT_EQ(truth.size(), 2u);
    // The speed when the wagon's middle is over the middle of the platform.
    double share = (13920 / 2.0 - 1710 + 2500) / (13920 + 14750 - 1710 + 5000);
    EXPECT_NEAR(truth[0].speedKmh, 10 - 6 * share, 1e-9);
    std::ostringstream csv;
    writeTruthCsv(csv, truth, t.direction);
    std::istringstream lines(csv.str());
    std::string header, wagon, loco;
    std::getline(lines, header);
    std::getline(lines, wagon);
    std::getline(lines, loco);
    EXPECT_EQ(header, "Vehicle,Kind,Axle,Weight,Bogie1,Bogie2,BaseW,BaseB,Speed,WeiL,Offset");
    EXPECT_EQ(wagon, "1,wagon,4,60000,31000,29000,8650,1850,85,-2000,0");
    EXPECT_EQ(loco.substr(0, 38), "2,locomotive,6,130000,65000,65000,8600");
}

TEST(TrainFileTest, ReadsATrainDescription) {
    std::istringstream in(
        "# two locomotives ahead\n"
        "direction -1\n"
        "speed 10 6   # slowing down\n"
        "empty 2\n"
        "locomotive mass=125000 count=2\n"
        "wagon axles=8 mass=120000 imbalance=-3000 offset=25 span=2600\n"
        "\n"
        "wagon axles=4 mass=62000 base=9000\n");
    TrainDescription t = readTrainFile(in);
    EXPECT_EQ(t.direction, -1);
    EXPECT_EQ(t.speed.startKmh, 10);
    EXPECT_EQ(t.speed.endKmh, 6);
    EXPECT_EQ(t.emptySeconds, 2);
    ASSERT_EQ(t.vehicles.size(), 4u);
    EXPECT_EQ(t.vehicles[1].kind, VehicleKind::Locomotive);
    EXPECT_EQ(t.vehicles[1].mass(), 125000);
    EXPECT_EQ(t.vehicles[2].axles, 8);
    EXPECT_EQ(t.vehicles[2].frontBogieMass, 58500);
    EXPECT_EQ(t.vehicles[2].transverseOffset, 25);
    EXPECT_EQ(t.vehicles[2].groupSpan, 2600);
    EXPECT_EQ(t.vehicles[3].wagonBase, 9000);
    EXPECT_EQ(t.vehicles[3].length, 13920);
}

TEST(TrainFileTest, NamesTheLineOfTheFirstMistake) {
    const std::pair<const char*, const char*> cases[] = {
        {"wagon axles=4 mass=60000\nspeed fast\n", "line 2: not a number: 'fast'"},
        {"wagon axles=4\n", "line 1: a wagon needs axles= and mass="},
        {"wagon axles=4 mass=1 colour=2\n", "line 1: unknown field 'colour'"},
        {"wagon axles=4 mass=1 count=0\n", "line 1: count must be a whole number 1-1000"},
        {"wagon axles=4 mass=1\nhorn loud\n", "line 2: unknown statement 'horn'"},
        {"wagon axles=5 mass=60000\n", "vehicle 1: axles must be 4, 6 or 8"},
        {"direction +1\n", "the train has no vehicle"},
    };
    for (auto [text, message] : cases) {
        std::istringstream in(text);
        try {
            readTrainFile(in);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

}  // namespace
}  // namespace zv
