#include "central/central_fixture.h"

#include "records/train_storage.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zv {
namespace {

class PushTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_REQUIRE_POSTGRES();
        central.connect();
    }
    test::CentralFixture central;
    RecordsDatabase& r = central.open();
};

TEST_F(PushTest, WhatTheProgramStoresArrivesAndTheOfficeSeesNamesResolved) {
    StoreTrain(r, test::trainOf(3));
    Table& wagons = r.Wagons();
    wagons.insertValues({{QStringLiteral("Wagon"), QStringLiteral("52001234")}, {QStringLiteral("Time"), test::kFirstWagon},
                         {QStringLiteral("Weight"), 80000}, {QStringLiteral("Load"), 1}});
    Table& book = r.Book();  // the release: the book row, and the wagon leaves the territory
    book.insertValues({{QStringLiteral("Wagon"), QStringLiteral("52001234")}, {QStringLiteral("Time1"), test::kFirstWagon},
                       {QStringLiteral("Brut"), 80000}, {QStringLiteral("Tare"), 22000}, {QStringLiteral("Load"), 1},
                       {QStringLiteral("Name1"), 0}});
    wagons.remove();
    r.Loads().findKey(1);
    r.Loads().edit();
    r.Loads().setValue(QStringLiteral("Load"), QStringLiteral("Щебень"));
    r.Loads().post();
    r.Trains().setFiltered(false);
    r.Trains().last();
    r.Trains().remove();

    EXPECT_GT(central.push(), 0);
    EXPECT_EQ(central.queued(), 0);
    EXPECT_EQ(central.rows("SELECT train, time, weight FROM central.trains ORDER BY time"),
              (QStringList{"1|2026-12-09 14:00:00|60000", "1|2026-12-09 14:00:05|60001"}));
    EXPECT_TRUE(central.rows("SELECT * FROM central.wagons").isEmpty());
    const QStringList office = central.rows("SELECT scale, month, wagon, gross, tare, net, load FROM central.office_book");
    EXPECT_EQ(office, QStringList{"north|2026-12-01|52001234|80000|22000|58000|Щебень"});
    EXPECT_EQ(central.rows("SELECT scale, last_table FROM central.scales"), QStringList{"north|Trains"});
}

TEST_F(PushTest, TwoScalesKeepTheirOwnBooks) {
    test::OutboxFolder other;
    RecordsDatabase& second = other.open();
    StoreTrain(r, test::trainOf(2));
    StoreTrain(second, test::trainOf(2));  // the same times and numbers at another scale
    central.push(QStringLiteral("north"));
    central::PgConnection connection;
    connection.connect(central.params());
    central::Pusher(other.f.dbDir(), QStringLiteral("south")).pushAll(connection);
    EXPECT_EQ(central.rows("SELECT scale, count(*) FROM central.trains GROUP BY scale ORDER BY scale"),
              (QStringList{"north|2", "south|2"}));
}

TEST_F(PushTest, ABatchSentAgainChangesNothing) {
    StoreTrain(r, test::trainOf(3));
    const central::OutboxQueue queue(central.f.dbDir());
    const auto entries = queue.oldest(100);
    central.push();
    const QStringList before = central.rows("SELECT time, weight, version, received_at FROM central.trains ORDER BY time");
    // The program died after the server's commit and before the entries were removed.
    SqliteFile file;
    file.open(r.Trains().filePath(), false);
    for (const auto& e : entries) {
        SqlStatement put = file.prepare(QStringLiteral("INSERT INTO zv_outbox (seq, tbl, op, pk, ref) VALUES (?, ?, ?, ?, ?)"));
        put.bindAll({e.seq, e.table, QString(QChar::fromLatin1(e.op)), e.key, e.rowId});
        put.step();
    }
    EXPECT_EQ(central.push(), 3);
    EXPECT_EQ(central.rows("SELECT time, weight, version, received_at FROM central.trains ORDER BY time"), before);
}

TEST_F(PushTest, AServerStoppedMidStreamGetsEveryRowOnceInOrder) {
    test::PgCluster& cluster = *test::PgCluster::instance();
    for (int t = 0; t < 6; ++t) {
        if (t == 3) cluster.stop();
        StoreTrain(r, test::trainOf(2, test::kFirstWagon.addSecs(600 * t)));
        try {
            central.push();
        } catch (const central::PgError&) {
            EXPECT_GE(t, 3) << "only while the server is down";
        }
    }
    EXPECT_EQ(central.queued(), 6) << "three trains wait for the server";
    cluster.start();
    ASSERT_TRUE(cluster.running());
    central.server.close();
    central.push();
    EXPECT_EQ(central.queued(), 0);
    const QStringList got = central.rows("SELECT train FROM central.trains ORDER BY version");
    EXPECT_EQ(got, (QStringList{"1", "1", "2", "2", "3", "3", "4", "4", "5", "5", "6", "6"}));
}

TEST_F(PushTest, ARowCommittedJustBeforeAKillArrivesOnceAfterTheRestart) {
    central.f.records.reset();  // the child opens the folder as the killed program had it
    const pid_t child = ::fork();
    if (child == 0) {
        test::OutboxFolder program;
        program.f.settings.Path = central.f.settings.Path;
        RecordsDatabase& tables = program.open();
        StoreTrain(tables, test::trainOf(2));
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    central.open();
    EXPECT_EQ(central.push(), 2);
    EXPECT_EQ(central.push(), 0);
    EXPECT_EQ(central.rows("SELECT count(*) FROM central.trains"), QStringList{"2"});
}

TEST_F(PushTest, AMissingOrNewerSchemaIsNamedAndTheQueueKept) {
    struct Case {
        const char* sql;
        const char* message;
    } cases[] = {
        {"DROP SCHEMA central CASCADE", "Схема центральной базы не создана"},
        {"CREATE SCHEMA central; CREATE TABLE central.schema_version (version integer); "
         "INSERT INTO central.schema_version VALUES (99)",
         "Схема центральной базы новее программы (версия 99"},
    };
    StoreTrain(r, test::trainOf(1));
    for (const Case& c : cases) {
        central.server.execScript(QString::fromUtf8(c.sql));
        try {
            central.push();
            ADD_FAILURE() << "pushed into " << c.sql;
        } catch (const central::PgError& e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(c.message))) << e.message().toStdString();
        }
        EXPECT_EQ(central.queued(), 1);
    }
    central::PgConnection init;
    init.connect(central.params());
    EXPECT_THROW(central::initSchema(init), central::PgError) << "a newer schema is never touched";
}

}  // namespace
}  // namespace zv
