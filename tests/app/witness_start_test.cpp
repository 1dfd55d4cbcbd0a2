// The program compares its chains with the central database's witness when its sender starts:
// a folder rewritten behind its back is told in a message and logged, without the window
// waiting on the server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QThread>

#include <functional>

#include "app/app_fixture.h"
#include "central/central_schema.h"
#include "central/pg_cluster.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"
#include "records/sqlite_file.h"

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
        s.Central = {true, "127.0.0.1", cluster.port(), database.toStdString(), zv::test::PgCluster::admin().toStdString(), "north"};
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
