#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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
#include "central/central_schema.h"
#include "central/loopback_port.h"
#include "central/pg_cluster.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"
#include "records/sqlite_file.h"
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

// The program compares its chains with the central database's witness when its sender starts:
// a folder rewritten behind its back is told in a message and logged, without the window
// waiting on the server.
TEST(WitnessAtStart, ALogResealedAfterItWasSentIsToldAndLoggedOnceTheServerAnswers) {
    ZV_REQUIRE_POSTGRES();
    zv::test::PgCluster& cluster = *zv::test::PgCluster::instance();
    const QString database = cluster.createDatabase();
    {
        zv::central::PgConnection owner;
        owner.connect(cluster.params(database));
        zv::central::initSchema(owner);
    }
    zv::test::AppFixture app;
    const auto sending = [&](zv::Settings& s) {
        s.Central = {true, "127.0.0.1", cluster.port(), database.toStdString(), zv::test::PgCluster::admin().toStdString(), "north", "", ""};
    };
    TMain& first = app.start(sending);
    QLabel* label = first.findChild<QLabel*>("SBCentral");
    ASSERT_TRUE(waitFor([&] { return label->text() == "Центральная база: передано"; }, 15000)) << label->text().toStdString();
    const QString tables = QString::fromStdString(first.settings().Path);
    app.stop();

    // One with the key rewrites the log's first event, seals it again and moves the heads on.
    const QString settingsFile = QDir(app.folder()).filePath("ZOLVelt.ini");
    const QByteArray key = zv::loadSealKey(zv::sealPathsBeside(settingsFile).key);
    const QString log = QDir(tables).filePath(QString::fromLatin1(zv::EventLog::kFileName));
    {
        zv::SqliteFile file;
        file.open(log, false);
        file.exec(QStringLiteral("UPDATE \"%1\" SET Subject = 'переписано' WHERE rowid = 1; DROP TABLE zv_seal")
                      .arg(QString::fromLatin1(zv::EventLog::kTable)));
        zv::seals::sealExistingRows(file, key, QString::fromLatin1(zv::EventLog::kTable));
        zv::SealHeads heads(zv::sealPathsBeside(settingsFile).heads, key);
        ASSERT_TRUE(heads.load());
        const auto last = zv::seals::lastEntry(file);
        heads.setHead(QFileInfo(log).canonicalFilePath(), zv::SealHead{last->n, last->seal});
        ASSERT_TRUE(heads.save());
    }
    app.messages.clear();
    TMain& second = app.start(sending);
    EXPECT_TRUE(app.messages.shown().empty()) << "the local check alone finds nothing: " << app.messages.texts().join("\n").toStdString();
    ASSERT_TRUE(waitFor([&] { return !app.messages.shown().empty(); }, 15000));
    const QString told = app.messages.texts().join("\n");
    EXPECT_TRUE(told.startsWith("Обнаружены изменения записей в обход программы:\r\nЖурнал событий: печати переписаны после "
                                "передачи в центральную базу"))
        << told.toStdString();
    auto* integrity = zv::Events::installed();
    ASSERT_NE(integrity, nullptr);
    EXPECT_EQ(integrity->outstanding().size(), 1);
    EXPECT_TRUE(integrity->outstanding().value(0).startsWith("Журнал событий: печати переписаны")) << integrity->outstanding().value(0).toStdString();
    (void)second;
}

}  // namespace
