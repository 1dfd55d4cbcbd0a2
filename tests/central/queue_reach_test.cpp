// What the queue reaches beyond the rows the open tables write: the event log, the books of
// earlier months, and entries the server refuses, which must not hold up the others.
#include "central/central_fixture.h"
#include "central/outbox_file.h"
#include "integrity/event_log.h"
#include "records/sqlite_file.h"
#include "records/train_storage.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class QueueReachTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_REQUIRE_POSTGRES();
        central.connect();
    }
    test::CentralFixture central;

    void rawSql(const QString& fileName, const QString& sql) {
        SqliteFile file;
        file.open(QDir(central.f.dbDir()).filePath(fileName), false);
        file.exec(sql);
    }
};

TEST_F(QueueReachTest, TheEventLogAndTheBooksOfEarlierMonthsReachTheServer) {
    // November's book was kept while sending was off.
    central.f.clock.time = QDateTime(QDate(2026, 11, 20), QTime(9, 0));
    central.f.open().Book().insertValues({{QStringLiteral("Wagon"), QStringLiteral("52007777")},
                                          {QStringLiteral("Time1"), central.f.clock.time},
                                          {QStringLiteral("Brut"), 81000}, {QStringLiteral("Tare"), 23000}});
    central.f.records.reset();
    central.f.clock.time = test::kFirstWagon;
    EventLog log(central.f.clock);
    log.open(central.f.dbDir(), "key");
    log.append(QStringLiteral("Запуск"), QStringLiteral("ZOLVelt"));

    RecordsDatabase& r = central.open();  // December, sending switched on
    central::enterExistingRows(central.listener, r);
    log.setAppended([&](SqliteFile& file, qint64 n) { central.listener.eventAppended(file, n); });
    log.append(QStringLiteral("Смена"), QStringLiteral("Петров"));

    central.push();
    EXPECT_EQ(central.rows("SELECT month, wagon, brut FROM central.book"), QStringList{"2026-11-01|52007777|81000"});
    EXPECT_EQ(central.rows("SELECT key, data->>'kind' FROM central.events WHERE tbl = 'Events' ORDER BY key"),
              (QStringList{"1|Запуск", "2|Смена"}));
    EXPECT_EQ(central.queued(), 0);
}

TEST_F(QueueReachTest, ARefusedEntryIsSetAsideAndTheOthersGo) {
    RecordsDatabase& r = central.open();
    StoreTrain(r, test::trainOf(3));
    // A value the server's integer column cannot take, written behind the program's back.
    rawSql(QStringLiteral("Trains.db"), QStringLiteral("UPDATE Trains SET Weight = 'шестьдесят' WHERE Weight = 60001"));
    central::PgConnection connection;
    connection.connect(central.params());
    central::Pusher pusher(central.f.dbDir(), QStringLiteral("north"));
    EXPECT_EQ(pusher.pushAll(connection), 3);
    EXPECT_EQ(pusher.setAside(), 1);
    EXPECT_EQ(central.queued(), 0);
    EXPECT_EQ(pusher.queue().rejectedCount(), 1) << "kept, not lost";
    EXPECT_EQ(central.rows("SELECT weight FROM central.trains ORDER BY time"), (QStringList{"60000", "60002"}));
    EXPECT_TRUE(pusher.queue().lastSent().secsTo(QDateTime::currentDateTime()) < 60)
        << "the time of the transfer is kept in the files, for the next start";

    rawSql(QStringLiteral("Trains.db"), QStringLiteral("UPDATE Trains SET Weight = 60001 WHERE Weight = 'шестьдесят'"));
    EXPECT_EQ(pusher.queue().retryRejected(), 1);
    pusher.pushAll(connection);
    EXPECT_EQ(central.rows("SELECT weight FROM central.trains ORDER BY time"), (QStringList{"60000", "60001", "60002"}));
    EXPECT_EQ(pusher.queue().rejectedCount(), 0);
}

}  // namespace
}  // namespace zv
