#include "engine/wagon_completion.h"

#include <gtest/gtest.h>

#include <vector>

namespace zv {
namespace {

// Axle times of a wagon whose axles lie at the given positions (mm) moving at 100 mm per
// sample; each axle needs `crossing` samples to cross the platform.
AxleRec axleTimes(const std::vector<int>& positions, int first, int crossing = 50) {
    AxleRec r;
    r.Axles = static_cast<int>(positions.size());
    for (size_t k = 0; k < positions.size() && k < kMaxAxles; ++k) {
        r.Entry[k + 1] = first + positions[k] / 100;
        r.Exit[k + 1] = r.Entry[k + 1] + crossing;
    }
    return r;
}

const std::vector<int> kWagon{0, 1800, 10800, 12600};
const std::vector<int> kLoco{0, 2000, 4000, 12000, 14000, 16000};

class WagonEndTest : public testing::Test {
  protected:
    void SetUp() override { s.Vmax = 20; }

    // Wagon i leaves the only platform.
    const ResultRec& onePlatform(int i, const AxleRec& r, int32_t wt1, int32_t diff1 = 0) {
        s.Npl = 0;
        t.WagonIdx1 = i + 1;
        t.WagonAxles1 = r.Axles;
        t.AxleRec1[i] = r;
        t.WagonWeights[i].Wt1 = wt1;
        t.BogieDiff[i].Diff1 = diff1;
        WagonEnd(t, s, WallTime{}, silent);
        return t.WagonResult[i];
    }

    // Wagon i leaves the second platform; r1 was counted on the first.
    const ResultRec& twoPlatforms(int i, const AxleRec& r1, const AxleRec& r2, WeightRec w) {
        s.Npl = 1;
        s.Lp3 = 3000;  // 80 samples from edge to edge at 100 mm per sample
        t.WagonIdx2 = i + 1;
        t.WagonAxles2 = r2.Axles;
        t.AxleRec1[i] = r1;
        t.AxleRec2[i] = r2;
        t.WagonWeights[i] = w;
        WagonEnd(t, s, WallTime{}, silent);
        return t.WagonResult[i];
    }

    Settings s;
    TrainState t;
    EngineObserver silent;
};

// Entry 100, 118, 208, 226 and Exit 150, 168, 258, 276 on a 5 m platform at 50 Hz.
TEST_F(WagonEndTest, SpeedAndBasesOfTheWorkedExample) {
    t.Direction = 1;
    for (int i : {1, 0}) {  // as the first wagon the first arrival is left out, same result
        const ResultRec& r = onePlatform(i, axleTimes(kWagon, 100), 60000);
        EXPECT_EQ(r.Speed10, 180);
        EXPECT_EQ(r.WagonBase, 10800);
        EXPECT_EQ(r.BogieBase, 1800);
        EXPECT_EQ(r.Axles, 4);
        EXPECT_EQ(r.Note, 1);
        EXPECT_EQ(t.WagonWeights[i].WtFinal, 60000);
        EXPECT_EQ(t.WagonIdx2, i + 1);
    }
}

TEST_F(WagonEndTest, TwoPlatformsMeasureAcrossBothAndAddTheSecondPlatformsTerms) {
    const AxleRec r1 = axleTimes(kLoco, 100);
    const AxleRec r2 = axleTimes(kLoco, 180);
    const ResultRec& r = twoPlatforms(1, r1, r2, {60000, 60100, 60700, 0});
    EXPECT_EQ(r.Speed10, 180);
    EXPECT_EQ(r.WagonBase, 12000);
    EXPECT_EQ(r.BogieBase, 2000);
    EXPECT_EQ(r.Note, 1);
    EXPECT_EQ(t.WagonWeights[1].WtFinal, 60328);
}

TEST(SelectFinalWeight, TwoPlatformCases) {
    const struct {
        int32_t Wt1, Wt2, Wt12, WtFinal;
        bool disagree;
        int32_t tol;
    } cases[] = {
        {60000, 60400, 61500, 60200, false, 918},  // the lower pair agrees best
        {60000, 60100, 60700, 60328, false, 913},  // all three agree
        {60000, 62000, 64000, 62285, true, 939},   // no pair agrees
        {60000, 61000, 0, 60500, true, 916},      {60000, 60700, 0, 60350, false, 914},
        {0, 0, 58000, 58000, true, 878},          {0, 0, 0, 0, true, 550},
        {61500, 60000, 60400, 60240, false, 918},  // each value keeps its factor when ordered
    };
    for (const auto& c : cases) {
        const FinalWeight f = SelectFinalWeight(c.Wt1, c.Wt2, c.Wt12);
        EXPECT_EQ(f.WtFinal, c.WtFinal) << c.Wt1 << " " << c.Wt2 << " " << c.Wt12;
        EXPECT_EQ(f.disagree, c.disagree) << c.Wt1 << " " << c.Wt2 << " " << c.Wt12;
        EXPECT_EQ(f.tol, std::max(550, c.tol)) << c.Wt1 << " " << c.Wt2 << " " << c.Wt12;
    }
}

TEST(CombineBogieDiffs, OnlyPositiveDifferencesCount) {
    const struct {
        int32_t d1, d2, combined;
    } cases[] = {{800, 601, 700}, {800, 0, 800},    {0, 600, 600},
                 {0, 0, 0},       {800, -400, 800}, {-800, -400, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CombineBogieDiffs(c.d1, c.d2), c.combined) << c.d1 << " " << c.d2;
}

TEST_F(WagonEndTest, DifferenceIsSignedForDirectionPlusOne) {
    t.Direction = -1;
    onePlatform(0, axleTimes(kWagon, 100), 60000, 1500);
    EXPECT_EQ(t.BogieDiff[0].DiffFinal, -1500);
    t.Direction = 1;
    onePlatform(0, axleTimes(kWagon, 100), 60000, 1500);
    EXPECT_EQ(t.BogieDiff[0].DiffFinal, 1500);
}

TEST_F(WagonEndTest, OutOfRangeWagonsAreProblems) {
    AxleRec fastest = axleTimes(kWagon, 100);
    fastest.Exit[4] -= 1;  // S = 199: 18.1 km/h
    const struct {
        const char* what;
        AxleRec rec;
        int32_t Vmax, note;
    } cases[] = {
        {"at the speed limit", axleTimes(kWagon, 100), 18, 1},
        {"a tenth above it", fastest, 18, 5},
        {"two axles", axleTimes({0, 1800}, 100), 20, 5},
        {"bogie base 3000 mm", axleTimes({0, 3000, 10800, 13800}, 100), 20, 5},
        {"wagon base 21000 mm", axleTimes({0, 1800, 21000, 22800}, 100), 20, 5},
    };
    for (const auto& c : cases) {
        s.Vmax = c.Vmax;
        EXPECT_EQ(onePlatform(1, c.rec, 60000).Note, c.note) << c.what;
    }
    EXPECT_EQ(t.WagonResult[1].BogieBase, 1800);
    EXPECT_EQ(onePlatform(1, axleTimes({0, 1800}, 100), 20000).BogieBase, 0);
}

// A wagon without axle times (every time equal) has no speed and no bases, never a
// division by zero, and is a problem.
TEST_F(WagonEndTest, ZeroTimeSumGivesZeroSpeed) {
    AxleRec none;
    none.Axles = 4;
    const ResultRec& r = onePlatform(1, none, 60000);
    EXPECT_EQ(r.Speed10, 0);
    EXPECT_EQ(r.WagonBase, 0);
    EXPECT_EQ(r.BogieBase, 0);
    EXPECT_EQ(r.Note, 5);
}

TEST_F(WagonEndTest, AtMostThreeLeadingLocomotives) {
    const int32_t notes[] = {3, 3, 3, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(onePlatform(i, axleTimes(kLoco, 100 + 300 * i), 90000).Note, notes[i]) << i;
    EXPECT_EQ(t.LocoCount, 3);

    t.LocoCount = 0;  // a new train with an ordinary wagon at its head
    EXPECT_EQ(onePlatform(0, axleTimes(kWagon, 100), 60000).Note, 1);
    EXPECT_EQ(onePlatform(1, axleTimes(kLoco, 400), 90000).Note, 1);
}

// A weight the scale cannot have measured is never stored as weighed: nothing at all, or
// more than Wmax plus the nine divisions of the overload display.
TEST_F(WagonEndTest, NoWeightOrBeyondOverloadIsDoubtful) {
    s.Wmax = 150000;
    s.Dis = 20;
    const AxleRec r1 = axleTimes(kWagon, 100);
    const AxleRec r2 = axleTimes(kWagon, 180);
    const struct {
        const char* what;
        int32_t weight, note;
    } cases[] = {
        {"not measured", 0, 4},
        {"at the overload limit", 150180, 1},
        {"one kilogram beyond it", 150181, 4},
        {"far beyond it", 2266250, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(onePlatform(1, r1, c.weight).Note, c.note) << "one platform, " << c.what;
        EXPECT_EQ(twoPlatforms(1, r1, r2, {c.weight, c.weight, c.weight, 0}).Note, c.note)
            << "two platforms, " << c.what;
    }
    EXPECT_EQ(onePlatform(0, axleTimes(kLoco, 100), 2266250).Note, 3)
        << "a leading locomotive keeps its note";
}

TEST_F(WagonEndTest, TwoPlatformClassification) {
    const AxleRec r1 = axleTimes(kWagon, 100);
    const AxleRec r2 = axleTimes(kWagon, 180);
    AxleRec six = axleTimes(kLoco, 180);
    EXPECT_EQ(twoPlatforms(1, r1, six, {60000, 60000, 0, 0}).Note, 6) << "4 axles counted, then 6";
    EXPECT_EQ(twoPlatforms(1, r1, r2, {60000, 0, 0, 0}).Note, 4) << "one weight only";
    EXPECT_EQ(
        twoPlatforms(1, axleTimes({0, 1800}, 100), axleTimes({0, 1800}, 180), {0, 0, 0, 0}).Note, 4)
        << "note 4 ends the classification before the range check";
}

}  // namespace
}  // namespace zv
