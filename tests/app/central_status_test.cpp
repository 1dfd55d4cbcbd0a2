#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <QToolButton>

#include <functional>

#include "app/app_fixture.h"
#include "central/loopback_port.h"
#include "central/outbox_queue.h"

namespace {

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    return done();
}

QLabel* centralLabel(TMain& main) { return main.findChild<QLabel*>("SBCentral"); }

TEST(CentralStatus, HiddenWithoutSendingAndNamesTheQueueWhileTheServerIsAway) {
    zv::test::AppFixture app;
    TMain& quiet = app.start();
    ASSERT_NE(centralLabel(quiet), nullptr);
    EXPECT_TRUE(centralLabel(quiet)->isHidden()) << "a yard without a server sees nothing new";

    const int port = zv::test::closedPort();
    TMain& main = app.start([&](zv::Settings& s) {
        s.Central = {true, "127.0.0.1", port, "zolvelt", "zolvelt", "north"};
    });
    main.show();
    app.messages.clear();
    zv::test::writeTrainFile(main.settings(), 3, (app.folder() + "w401.dat").toStdString());
    main.controls().SBut11->click();
    main.Timer1Timer();
    QLabel* label = centralLabel(main);
    // The train's three rows, after what the folder held when sending began.
    const zv::central::OutboxQueue queue(QString::fromStdString(main.settings().Path));
    const qint64 queued = queue.count();
    EXPECT_EQ(queue.oldest(1000).back().table, "Trains");
    EXPECT_TRUE(waitFor([&] { return label->text().contains(QString("в очереди %1").arg(queued)); }, 10000))
        << label->text().toStdString();
    EXPECT_EQ(label->text(), QString("Центральная база: нет связи, в очереди %1").arg(queued));
    EXPECT_FALSE(label->toolTip().isEmpty()) << "the reason is at hand";
    EXPECT_TRUE(app.messages.shown().empty()) << "no box interrupts the operator";
    QApplication::processEvents();  // the status bar makes room for the longer text
    if (qEnvironmentVariableIsSet("ZOLVELT_SHOTS"))
        main.grab().save(qEnvironmentVariable("ZOLVELT_SHOTS") + "/main_central_away.png");
}

}  // namespace
