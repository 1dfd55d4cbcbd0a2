#include "link/link_watch.h"

#include <gtest/gtest.h>

#include <vector>

namespace zv::test {
namespace {

class LinkWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        watch.setWallClock([this] { return wall; });
        QObject::connect(&watch, &LinkWatch::linkLost, [this](LinkWatch::Cause c) { losses.push_back(c); });
        QObject::connect(&watch, &LinkWatch::linkRestored, [this](uint32_t ms) { outages.push_back(ms); });
    }

    QDateTime wall{QDate(2026, 12, 10), QTime(15, 41, 7)};
    LinkWatch watch;
    std::vector<LinkWatch::Cause> losses;
    std::vector<uint32_t> outages;
};

// The converter stops: a second later the link is lost, once however many ticks follow; a
// reopening is due every five seconds; the first frame restores it and tells the outage.
TEST_F(LinkWatchTest, SilenceLosesTheLinkOnceRetriesEveryFiveSecondsAndAFrameRestoresIt) {
    const uint32_t t0 = 1000;
    watch.started(t0, true);
    watch.frameArrived(t0 + 200);
    watch.check(t0 + 1200);
    EXPECT_FALSE(watch.isLost());
    EXPECT_EQ(watch.stateText(t0 + 1200), "связь есть");
    for (uint32_t t = t0 + 1201; t < t0 + 4000; t += 25) watch.check(t);
    ASSERT_EQ(losses, std::vector{LinkWatch::Cause::Silence});
    EXPECT_TRUE(watch.isLost());
    EXPECT_EQ(watch.lostSinceTick(), t0 + 1201);
    EXPECT_EQ(watch.stateText(t0 + 1201), "нет связи с 15:41:07, повтор через 5 с");
    EXPECT_EQ(watch.stateText(t0 + 4000), "нет связи с 15:41:07, повтор через 3 с");
    EXPECT_EQ(watch.statusText("/dev/ttyUSB0"), "Нет связи с весами с 15:41:07 (нет данных с порта /dev/ttyUSB0)");
    EXPECT_EQ(watch.lossMessage("/dev/ttyUSB0"), "Нет связи с весами: с порта /dev/ttyUSB0 не поступают данные");

    EXPECT_FALSE(watch.retryDue(t0 + 6200));
    EXPECT_TRUE(watch.retryDue(t0 + 6201));
    watch.reopened(t0 + 6201, true);
    EXPECT_FALSE(watch.retryDue(t0 + 11200));
    watch.check(t0 + 9000);  // still lost: the opening brought no frame yet, and no new loss
    EXPECT_EQ(losses.size(), 1u);
    EXPECT_TRUE(watch.retryDue(t0 + 11201));

    watch.frameArrived(t0 + 11500);
    EXPECT_FALSE(watch.isLost());
    EXPECT_EQ(outages, std::vector<uint32_t>{10299});
    EXPECT_TRUE(watch.statusText("/dev/ttyUSB0").isEmpty());
    watch.frameArrived(t0 + 11520);
    EXPECT_EQ(outages.size(), 1u);
}

// A port error is a loss at once; silence and further errors within it are the same loss.
// Silence first, then the error, makes the port the cause. A failed reopening too.
TEST_F(LinkWatchTest, ErrorsAndSilenceWithinOneLossAreOneLoss) {
    watch.started(0, true);
    watch.portFailed(300);
    watch.check(5000);
    watch.portFailed(5100);
    EXPECT_EQ(losses, std::vector{LinkWatch::Cause::PortError});
    EXPECT_EQ(watch.lossMessage("COM3"), "Порт COM3 не доступен");

    watch.frameArrived(6000);
    watch.check(7001);
    EXPECT_EQ(watch.cause(), LinkWatch::Cause::Silence);
    watch.portFailed(7100);
    EXPECT_EQ(watch.cause(), LinkWatch::Cause::PortError);
    watch.reopened(12001, false);
    EXPECT_EQ(watch.cause(), LinkWatch::Cause::PortError);
    EXPECT_EQ(losses, (std::vector{LinkWatch::Cause::PortError, LinkWatch::Cause::Silence}));
}

// A port that cannot be opened when the link is wanted is lost from the start; only the
// engineer's disconnection ends the watching and the retries.
TEST_F(LinkWatchTest, FailedOpeningIsALossUntilTheEngineerDisconnects) {
    watch.started(100, false);
    EXPECT_TRUE(watch.isLost());
    EXPECT_EQ(losses, std::vector{LinkWatch::Cause::PortError});
    EXPECT_TRUE(watch.retryDue(5100));
    watch.stopped();
    EXPECT_FALSE(watch.isLost());
    EXPECT_FALSE(watch.retryDue(5100));
    watch.portFailed(5200);
    watch.check(60000);
    EXPECT_EQ(losses.size(), 1u);
    EXPECT_EQ(watch.stateText(60000), "не подключено");
}

// The tick wraps after 49 days; a replay feeding the program keeps silence from counting.
TEST_F(LinkWatchTest, TimesHoldAcrossTheWrapOfTheTickAndWhileReplaying) {
    const uint32_t t0 = 0xFFFFFE00u;
    watch.started(t0, true);
    watch.check(t0 + 1000);
    EXPECT_FALSE(watch.isLost());
    watch.hold(t0 + 900);
    watch.check(t0 + 1800);
    EXPECT_FALSE(watch.isLost());
    watch.check(t0 + 1901);
    EXPECT_TRUE(watch.isLost());
    EXPECT_FALSE(watch.retryDue(t0 + 6900));
    EXPECT_TRUE(watch.retryDue(t0 + 6901));
}

TEST_F(LinkWatchTest, ALossOfAnEarlierDayNamesItsDate) {
    watch.started(0, false);
    wall = wall.addDays(1);
    EXPECT_EQ(watch.stateText(10), "нет связи с 10.12.2026 15:41:07, повтор через 5 с");
}

TEST(LinkWatch, SilenceIsAboutASecondOrTwentyConversionsOfASlowConverter) {
    const std::pair<int, uint32_t> cases[] = {{50, 1000}, {100, 1000}, {10, 2000}, {1, 20000}, {0, 1000}};
    for (const auto& [fps, ms] : cases) EXPECT_EQ(LinkWatch::silenceLimitFor(fps), ms) << fps;
    EXPECT_EQ(LinkWatch::durationText(83999), "00:01:23");
    EXPECT_EQ(LinkWatch::durationText(3723000), "01:02:03");
}

}  // namespace
}  // namespace zv::test
