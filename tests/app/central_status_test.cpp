#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <functional>

#include "app/app_fixture.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
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
        s.Central = {true, "127.0.0.1", port, "zolvelt", "zolvelt", "north", "", ""};
    });
    main.show();
    app.messages.clear();
    zv::test::writeTrainFile(main.settings(), 3, (app.folder() + "w401.dat").toStdString());
    main.controls().SBut11->click();
    main.Timer1Timer();
    QLabel* label = centralLabel(main);
    // The train's three rows and the events of the log, after what the folder held when
    // sending began; the event of the train enters once the log has taken it.
    const zv::central::OutboxQueue queue(QString::fromStdString(main.settings().Path));
    const auto away = [&] { return QString("Центральная база: нет связи, в очереди %1").arg(queue.count()); };
    EXPECT_TRUE(waitFor([&] { return label->text() == away(); }, 10000)) << label->text().toStdString();
    QStringList tables;
    for (const auto& entry : queue.oldest(1000)) tables.append(entry.table);
    EXPECT_TRUE(tables.contains("Trains"));
    EXPECT_TRUE(tables.contains("Events"));
    EXPECT_FALSE(label->toolTip().isEmpty()) << "the reason is at hand";
    QTest::qWait(1500);  // a retry or two
    EXPECT_EQ(zv::Events::installed()->log().countOf(zv::event_kind::CentralLost), 1) << "logged once, not at every retry";
    EXPECT_TRUE(app.messages.shown().empty()) << "no box interrupts the operator";
    QApplication::processEvents();  // the status bar makes room for the longer text
    if (qEnvironmentVariableIsSet("ZOLVELT_SHOTS"))
        main.grab().save(qEnvironmentVariable("ZOLVELT_SHOTS") + "/main_central_away.png");
}

// Encryption switched off in the settings is never the operator's surprise.
TEST(CentralStatus, AnUnencryptedLinkSaysSoInTheStatusBar) {
    zv::test::AppFixture app;
    const int port = zv::test::closedPort();
    TMain& main = app.start([&](zv::Settings& s) {
        s.Central = {true, "127.0.0.1", port, "zolvelt", "zolvelt", "north", "disable", ""};
    });
    QLabel* label = centralLabel(main);
    EXPECT_EQ(label->text(), QString("Центральная база: подключение... (без шифрования)"));
    EXPECT_TRUE(waitFor([&] { return label->text().startsWith("Центральная база: нет связи"); }, 10000)) << label->text().toStdString();
    EXPECT_TRUE(label->text().endsWith(" (без шифрования)")) << label->text().toStdString();
}

// Once a folder has sent, what is made while sending is switched off waits in the queue for
// the day it is on again: nothing made meanwhile is missing at the office.
TEST(CentralStatus, SwitchedOffAfterSendingTheChangesWaitInTheQueue) {
    zv::test::AppFixture app;
    const int port = zv::test::closedPort();
    TMain& sending = app.start([&](zv::Settings& s) { s.Central = {true, "127.0.0.1", port, "zolvelt", "zolvelt", "north", "", ""}; });
    const zv::central::OutboxQueue queue(QString::fromStdString(sending.settings().Path));
    const qint64 seeded = queue.count();
    ASSERT_GT(seeded, 0);

    TMain& off = app.start([&](zv::Settings& s) { s.Central.Send = false; });
    QLabel* label = centralLabel(off);
    EXPECT_FALSE(label->isHidden());
    EXPECT_EQ(label->text(), QString("Центральная база: передача выключена, изменения ждут в очереди"));
    off.show();
    zv::test::writeTrainFile(off.settings(), 2, (app.folder() + "w401.dat").toStdString());
    off.controls().SBut11->click();
    off.Timer1Timer();
    QStringList tables;
    for (const auto& entry : queue.oldest(10000)) tables.append(entry.table);
    EXPECT_EQ(tables.count("Trains"), 2) << "the train stored while sending was off";
}

}  // namespace
