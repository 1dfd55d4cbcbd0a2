// A measurement, not part of the suite: run with
//   app_tests --gtest_also_run_disabled_tests --gtest_filter='*TickCost*'
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/app_fixture.h"
#include "central/loopback_port.h"
#include "link/pty_pair.h"  // the link tests' converter side of a pseudo-terminal

namespace {

// Ten frames of 200 Hz sampling arrive per tick while a train crosses the scale; each tick
// reads them from the serial line, weighs them and updates the window. `adjust` may turn
// on sending to a central database that cannot be reached.
void measureTicks(const char* what, const std::function<void(zv::Settings&)>& adjust) {
    zv::test::PtyPair pty;
    zv::test::AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Fadc = 200;
        s.Port = pty.slaveName();
        s.Connect = true;
        s.Params = zv::params::ShowGravityOffsets;
        adjust(s);
    });
    main.show();
    ASSERT_TRUE(main.link().isOpen());

    const auto samples = zv::test::trainSamples(main.settings(), 3);
    std::vector<double> costs;
    for (int pass = 0; pass < 3; ++pass) {  // three trains, so the sender has work meanwhile
        for (std::size_t at = 0; at + 10 <= samples.size(); at += 10) {
            pty.send(zv::test::frameBytes(main.settings(), samples, at, at + 10));
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            main.Timer1Timer();
            QApplication::processEvents();  // the repaint of what the tick changed
            costs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::sort(costs.begin(), costs.end());
    const double median = costs[costs.size() / 2];
    const double p99 = costs[costs.size() * 99 / 100];
    std::printf("%s: ticks %zu, median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n", what, costs.size(),
                median, p99, costs.back());
    EXPECT_LT(median, 2.0);
}

void sendTo(zv::Settings& s, int port) { s.Central = {true, "127.0.0.1", port, "zolvelt", "zolvelt", "north", "", ""}; }

TEST(TickCost, DISABLED_TenSamplesAt200HzPerTick) {
    measureTicks("no central database", [](zv::Settings&) {});
}

TEST(TickCost, DISABLED_TenSamplesAt200HzPerTickWhileTheServerIsUnreachable) {
    const int port = zv::test::closedPort();
    measureTicks("server unreachable", [&](zv::Settings& s) { sendTo(s, port); });
}

TEST(TickCost, DISABLED_TenSamplesAt200HzPerTickWhileTheServerIsBlackHoled) {
    zv::test::BlackHole hole;
    measureTicks("server black-holed", [&](zv::Settings& s) { sendTo(s, hole.port()); });
}

}  // namespace
