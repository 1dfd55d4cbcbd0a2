// The weighing-window check, and its speed limits held against simulated trains.
#include "commissioning/weighing_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "commissioning/filter_settling.h"
#include "replay/replay_run.h"
#include "support/test_scale.h"
#include "verify/reference_trains.h"

namespace zv {
namespace {

const KindVerdict& verdictOf(const WeighingCheck& c, const std::string& id) {
    auto it = std::find_if(c.kinds.begin(), c.kinds.end(),
                           [&](const KindVerdict& k) { return k.kind.id == id; });
    EXPECT_NE(it, c.kinds.end()) << id;
    return *it;
}

std::string allLines(const WeighingCheck& c) {
    std::string text;
    for (const CheckLine& l : c.lines) text += l.text + "\n";
    return text;
}

// Five vehicles of the kind at a steady speed through the engine: whether the three in the
// middle (between vehicles of their kind, as the check assumes) are weighed within 1 %.
bool engineWeighs(const Settings& s, const VehicleKindSpec& kind, double kmh) {
    TrainDescription train;
    train.vehicles.assign(5, simulatedVehicle(ReferenceVehicle{kind.id, kind, true}));
    train.speed = {kmh, kmh};
    train.emptySeconds = 2;
    ReplayReport report = replaySimulatedTrain(s, train, SignalModel{});
    if (report.trains.size() != 1 || report.trains[0].rows.size() != 5) return false;
    for (size_t i = 1; i <= 3; ++i) {
        const StoredWagonRow& row = report.trains[0].rows[i];
        bool noted = row.Note == 1 || (kind.locomotive && row.Note == 3);
        if (!noted || row.Axle != kind.dims.axles ||
            std::abs(row.WtFinal - kind.loadedMass) > 0.01 * kind.loadedMass)
            return false;
    }
    return true;
}

struct Configuration {
    const char* name;
    std::function<void(Settings&)> change;
    bool passes;
    const char* mustSay;  // a part of the verdict's lines
};

TEST(WeighingCheckTest, VerdictsOfTypicalConfigurationsHoldOnSimulatedTrains) {
    const Configuration table[] = {
        {"shipped settings", [](Settings&) {}, false, "При tflt = 100 вагоны не взвешиваются выше"},
        {"tflt 10", [](Settings& s) { s.tflt = 10; }, true, "подходит tflt от 7 до 16"},
        // The largest tflt for wagons leaves a locomotive's long bogie too short a window.
        {"largest tflt", [](Settings& s) { s.tflt = 16; }, false,
         "локомотив не распознаётся выше 8,1"},
        {"one beyond it", [](Settings& s) { s.tflt = 17; }, false,
         "Шестиосный вагон: не взвешивается"},
        {"5 m and 8 m",
         [](Settings& s) {
             s.tflt = 10;
             s.Lp2 = 8000;
         },
         false, "на платформе 2 (8000 мм) оси считаются неверно"},
        {"one platform", [](Settings& s) { s.Npl = 0; }, false, "не взвешиваются выше 2,4 км/ч"},
        {"100 Hz", [](Settings& s) { s.Fadc = 100; }, false,
         "Четырёхосный вагон: не взвешивается выше 9,6"},
        {"200 Hz", [](Settings& s) { s.Fadc = 200; }, false,
         "Шестиосный вагон: не взвешивается выше 8,1"},
        {"unsettled filter", [](Settings& s) { s.tflt = 3; }, false,
         "tflt = 3 короче установления фильтра"},
    };
    for (const Configuration& row : table) {
        SCOPED_TRACE(row.name);
        Settings s = test::scaleSettings(1, 1);
        row.change(s);
        WeighingCheck c = checkWeighing(s);
        EXPECT_EQ(c.passes, row.passes) << allLines(c);
        EXPECT_NE(allLines(c).find(row.mustSay), std::string::npos) << allLines(c);
        for (const char* id : {"4ax", "6ax", "loco"}) {
            const KindVerdict& k = verdictOf(c, id);
            SCOPED_TRACE(std::string(id) + " weighs up to " + std::to_string(k.limitKmh));
            if (k.weighsAtVmax) {
                EXPECT_TRUE(engineWeighs(s, k.kind, s.Vmax - 0.5));
            } else if (k.countingHolds) {
                if (k.limitKmh > 0.5) {
                    EXPECT_TRUE(engineWeighs(s, k.kind, k.limitKmh - 0.5));
                }
                EXPECT_FALSE(engineWeighs(s, k.kind, k.limitKmh + 1));
            }
        }
    }
}

// By axle loads no bogie window and no tflt are needed: every kind, the eight-axle wagon and
// the locomotive among them, weighs up to 12 km/h over platforms of 5 and 6 m; too slow a
// converter leaves too few samples at the borders to the neighbours.
TEST(WeighingCheckTest, ByAxleLoadsTheVerdictHoldsForEveryKind) {
    const Configuration table[] = {
        {"two 5 m platforms", [](Settings&) {}, true, "по нагрузкам осей до Vmax = 12 км/ч"},
        {"one 5 m platform", [](Settings& s) { s.Npl = 0; }, true, "не меньше 9 отсчётов"},
        {"two 6 m platforms", [](Settings& s) { s.Lp1 = s.Lp2 = 6000; }, true, "600 мм"},
        {"10 Hz",
         [](Settings& s) {
             s.Fadc = 10;
             s.Fflt = s.Fflt_ = 4;
         },
         false, "Шестиосный вагон: не взвешивается по нагрузкам осей выше 7,7 км/ч"},
    };
    for (const Configuration& row : table) {
        SCOPED_TRACE(row.name);
        Settings s = test::scaleSettings(1, 1);
        s.WeighMethod = 1;
        s.Vmax = 12;
        row.change(s);
        WeighingCheck c = checkWeighing(s);
        EXPECT_EQ(c.passes, row.passes) << allLines(c);
        EXPECT_NE(allLines(c).find(row.mustSay), std::string::npos) << allLines(c);
        if (s.Fadc < 50) continue;  // the detector itself is not judged at 10 Hz
        for (const KindVerdict& k : c.kinds) {
            SCOPED_TRACE(k.kind.id);
            EXPECT_TRUE(k.weighsAtVmax);
            EXPECT_TRUE(engineWeighs(s, k.kind, s.Vmax - 0.5));
        }
    }
}

TEST(WeighingCheckTest, CountingRuleFailsWhereTheEngineMiscounts) {
    Settings s = test::scaleSettings(1, 1);
    s.tflt = 10;
    s.Lp2 = 8000;
    WeighingCheck c = checkWeighing(s);
    const KindVerdict& shortWagon = verdictOf(c, "4ax-short");
    EXPECT_FALSE(shortWagon.countingHolds);
    EXPECT_EQ(shortWagon.failingPlatform, 2);
    EXPECT_TRUE(verdictOf(c, "4ax").countingHolds);
    EXPECT_FALSE(engineWeighs(s, shortWagon.kind, 6));
    EXPECT_TRUE(engineWeighs(s, verdictOf(c, "4ax").kind, 6));
}

TEST(WeighingCheckTest, BothPlatformWeightExistsOnlyForBasesThatFit) {
    Settings s = test::scaleSettings(1, 1);
    s.tflt = 10;
    WeighingCheck c = checkWeighing(s);
    // Bases from Lp3 + bogie span to Lp3 + Lp1 + Lp2 - span: 8650 fits, 11000 does not.
    EXPECT_TRUE(verdictOf(c, "4ax").bothPlatformWeight);
    EXPECT_FALSE(verdictOf(c, "6ax").bothPlatformWeight);
    EXPECT_NE(allLines(c).find("восьмиосные вагоны — по максимуму, без окна"), std::string::npos);
    s.Npl = 0;
    EXPECT_EQ(allLines(checkWeighing(s)).find("обеих платформах"), std::string::npos);
}

TEST(WeighingCheckTest, SettlingFollowsTheFiltersOwnStepResponse) {
    struct Rate {
        int Fadc, Fflt, settled;
    };
    for (Rate r : {Rate{50, 10, 7}, Rate{100, 10, 18}, Rate{200, 10, 37}, Rate{50, 5, 18}}) {
        SCOPED_TRACE(std::to_string(r.Fadc) + " Hz / " + std::to_string(r.Fflt) + " Hz");
        int n = filterSettlingSamples(r.Fadc, r.Fflt, kSettlingTolerance);
        EXPECT_EQ(n, r.settled);
        std::vector<double> step = filterStepResponse(r.Fadc, r.Fflt, n + 200);
        EXPECT_GT(std::abs(step[static_cast<size_t>(n - 1)] - 1), kSettlingTolerance);
        for (size_t k = static_cast<size_t>(n); k < step.size(); ++k)
            ASSERT_LE(std::abs(step[k] - 1), kSettlingTolerance) << k;
        Settings s = test::scaleSettings(1, 1);
        s.Fadc = r.Fadc;
        s.Fflt = r.Fflt;
        EXPECT_EQ(checkWeighing(s).settlingTflt, r.settled);
    }
}

}  // namespace
}  // namespace zv
