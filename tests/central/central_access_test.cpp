#include "central/central_fixture.h"

#include "central/central_logins.h"
#include "central/central_tables.h"
#include "records/train_storage.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

// Two scales with logins of their own in one central database; west7 has sent its trains,
// a book row, a dictionary change and an event.
class CentralAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_REQUIRE_POSTGRES();
        central.connect();
        west = central.addScale(QStringLiteral("west7"));
        east = central.addScale(QStringLiteral("east2"));
        RecordsDatabase& r = central.open();
        StoreTrain(r, test::trainOf(3));
        r.Book().insertValues({{QStringLiteral("Wagon"), QStringLiteral("52001234")}, {QStringLiteral("Time1"), test::kFirstWagon},
                               {QStringLiteral("Brut"), 80000}, {QStringLiteral("Tare"), 22000}});
        r.Loads().findKey(1);
        r.Loads().edit();
        r.Loads().setValue(QStringLiteral("Load"), QStringLiteral("Щебень"));
        r.Loads().post();
        ASSERT_GT(central.pushAs(west, QStringLiteral("west7"), central.f.dbDir()), 0);
        as(west, "INSERT INTO central.events (scale, tbl, key, data, version) VALUES ('west7', 'Events', '1', '{}', 1)");
    }

    void as(const QString& login, const QString& sql) {
        central::PgConnection connection;
        connection.connect(central.paramsAs(login));
        connection.exec(sql);
    }

    // Every row of every table that holds scales' rows, as the owner sees them.
    QStringList everything() {
        QStringList all;
        for (const QString& table : central::serverTableNames() + QStringList{"central.scales", "central.scale_logins"})
            all += central.rows(QStringLiteral("SELECT '%1', t::text FROM %1 t ORDER BY t::text").arg(table));
        return all;
    }

    test::CentralFixture central;
    QString west, east;
};

TEST_F(CentralAccessTest, AScaleCannotTouchAnotherScalesRowsNorAnyEventNorTheSchema) {
    QStringList before = everything();
    ASSERT_FALSE(central.rows("SELECT * FROM central.trains WHERE scale = 'west7'").isEmpty());
    // Refused outright, or filtered to no row at all: either way nothing of west7's changes.
    const char* const attacks[] = {
        "UPDATE central.trains SET weight = 50000 WHERE scale = 'west7'",
        "DELETE FROM central.trains WHERE scale = 'west7'",
        "UPDATE central.trains SET scale = 'east2' WHERE scale = 'west7'",
        "INSERT INTO central.trains (scale, time, train, weight, version) VALUES ('west7', '2026-12-09 15:00', 9, 1, 9e15)",
        "UPDATE central.book SET brut = 1 WHERE scale = 'west7'",
        "DELETE FROM central.book",
        "UPDATE central.dictionaries SET name = 'x'",
        "DELETE FROM central.dictionaries WHERE scale = 'west7'",
        "UPDATE central.operators SET name = 'x'",
        "DELETE FROM central.wagons",
        "UPDATE central.scales SET last_version = 0 WHERE scale = 'west7'",
        "DELETE FROM central.scales",
        "INSERT INTO central.scales (scale, last_version) VALUES ('west7', 9e15) "
        "ON CONFLICT (scale) DO UPDATE SET last_version = 0",
        "UPDATE central.events SET data = '{\"kind\": 1}'",
        "DELETE FROM central.events",
        "INSERT INTO central.events (scale, tbl, key, data, version) VALUES ('west7', 'Events', '2', '{}', 2)",
        "UPDATE central.scale_logins SET scale = 'west7' WHERE scale = 'east2'",
        "INSERT INTO central.scale_logins VALUES ('zolvelt_scale_east2', 'north')",
        "DELETE FROM central.versions",
        "CREATE TABLE central.mine (a int)",
        "CREATE TABLE public.mine (a int)",
        "ALTER TABLE central.trains DISABLE ROW LEVEL SECURITY",
        "DROP POLICY own_rows ON central.trains",
        "CREATE OR REPLACE FUNCTION central.current_scale() RETURNS text LANGUAGE sql AS $$ SELECT 'west7' $$",
        "TRUNCATE central.trains",
    };
    for (const char* sql : attacks) {
        try {
            as(east, QString::fromUtf8(sql));
        } catch (const central::PgError&) {
            // refused: as good as a statement that found no row of its own
        }
        const QStringList after = everything();
        EXPECT_EQ(after, before) << "as east2: " << sql;
        before = after;
    }
    EXPECT_EQ(central.rows("SELECT count(*) FROM central.trains WHERE scale = 'west7'"), QStringList{"3"});
    central::PgConnection eastReads;
    eastReads.connect(central.paramsAs(east));
    EXPECT_EQ(eastReads.exec(QStringLiteral("SELECT count(*) FROM central.trains")).text(0, 0), QStringLiteral("0"))
        << "another scale's rows are not even seen";
    EXPECT_THROW(eastReads.exec(QStringLiteral("UPDATE central.events SET data = '{}' WHERE scale = 'east2'")),
                 central::PgError)
        << "nor its own events changed";
}

TEST_F(CentralAccessTest, AScaleSendingUnderAnotherScalesNameIsRefusedAndKeepsItsQueue) {
    test::OutboxFolder liar;
    StoreTrain(liar.open(), test::trainOf(2));
    const QStringList before = everything();
    EXPECT_THROW(central.pushAs(east, QStringLiteral("west7"), liar.f.dbDir()), central::PgError);
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(liar.queued(), central::OutboxQueue(liar.f.dbDir()).count());
    EXPECT_GT(liar.queued(), 0) << "nothing left the queue";
    EXPECT_GT(central.pushAs(east, QStringLiteral("east2"), liar.f.dbDir()), 0) << "under its own name it goes";
    EXPECT_EQ(central.rows("SELECT scale, count(*) FROM central.trains GROUP BY scale ORDER BY scale"),
              (QStringList{"east2|2", "west7|3"}));
}

TEST_F(CentralAccessTest, TheOfficeReadsEveryScaleAndWritesNothing) {
    test::OutboxFolder second;
    StoreTrain(second.open(), test::trainOf(2));
    central.pushAs(east, QStringLiteral("east2"), second.f.dbDir());
    const QString password = QStringLiteral("office-password-1");
    const central::CentralLogin office = central::addOfficeLogin(central.server, QStringLiteral("office_anna"), password);
    test::PgCluster::addPassword(office.login, password);
    central::PgConnection reader;
    reader.connect(central.paramsAs(office.login));
    EXPECT_EQ(reader.exec(QStringLiteral("SELECT count(*) FROM central.trains")).text(0, 0), QStringLiteral("5"));
    EXPECT_EQ(reader.exec(QStringLiteral("SELECT count(*) FROM central.office_book")).text(0, 0), QStringLiteral("1"));
    EXPECT_EQ(reader.exec(QStringLiteral("SELECT count(*) FROM central.scale_logins")).text(0, 0), QStringLiteral("2"));
    EXPECT_EQ(reader.exec(QStringLiteral("SELECT count(*) FROM central.events")).text(0, 0), QStringLiteral("1"));
    reader.exec(QStringLiteral("SELECT count(*) FROM central.versions"));
    const QStringList before = everything();
    const char* const writes[] = {
        "UPDATE central.trains SET weight = 1",
        "DELETE FROM central.book",
        "INSERT INTO central.events (scale, tbl, key, data, version) VALUES ('west7', 'Events', '5', '{}', 5)",
        "UPDATE central.scales SET last_version = 0",
        "INSERT INTO central.scale_logins VALUES ('office_anna', 'north')",
        "DELETE FROM central.versions",
        "CREATE TABLE central.mine (a int)",
        "TRUNCATE central.trains",
    };
    for (const char* sql : writes) {
        EXPECT_THROW(reader.exec(QString::fromUtf8(sql)), central::PgError) << sql;
    }
    EXPECT_EQ(everything(), before);
}

}  // namespace
}  // namespace zv
