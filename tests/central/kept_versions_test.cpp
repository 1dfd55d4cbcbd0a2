#include "central/central_fixture.h"

#include "records/train_storage.h"
#include "tools/tool_run.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class KeptVersionsTest : public ::testing::Test {
protected:
    void SetUp() override { ZV_REQUIRE_POSTGRES(); }
    test::CentralFixture central;
};

TEST_F(KeptVersionsTest, ABookRowChangedAfterSendingShowsBothVersionsOnTheServer) {
    central.connect();
    const QString login = central.addScale(QStringLiteral("north"));
    RecordsDatabase& r = central.open();
    Table& book = r.Book();
    book.insertValues({{QStringLiteral("Wagon"), QStringLiteral("52001234")}, {QStringLiteral("Time1"), test::kFirstWagon},
                       {QStringLiteral("Brut"), 80000}, {QStringLiteral("Tare"), 22000}});
    central.pushAs(login, QStringLiteral("north"), central.f.dbDir());
    book.first();
    book.edit();
    book.setValue(QStringLiteral("Brut"), 75000);
    book.post();
    central.pushAs(login, QStringLiteral("north"), central.f.dbDir());

    EXPECT_EQ(central.rows("SELECT brut FROM central.book"), QStringList{"75000"});
    EXPECT_EQ(central.rows("SELECT tbl, scale, op, old_row->>'brut', new_row->>'brut', changed_by FROM central.versions"),
              QStringList{"central.book|north|UPDATE|80000|75000|" + login});
    EXPECT_EQ(central.rows("SELECT n FROM central.office_book"), QStringList{"1"});

    // A row touched without a change of its values leaves no version;
    // a delete leaves the row as it was.
    central.server.exec(QStringLiteral("UPDATE central.book SET received_at = now() - interval '1 hour'"));
    book.first();
    book.remove();
    central.pushAs(login, QStringLiteral("north"), central.f.dbDir());
    EXPECT_EQ(central.rows("SELECT op, old_row->>'brut', new_row IS NULL FROM central.versions ORDER BY id"),
              (QStringList{"UPDATE|80000|f", "DELETE|75000|t"}));
}

TEST_F(KeptVersionsTest, AnInstalledFirstVersionIsUpgradedAndItsRowsKept) {
    central.database = test::PgCluster::instance()->createDatabase();
    central.server.connect(central.params());
    central::initSchema(central.server, 1);
    central.server.exec(QStringLiteral("INSERT INTO central.trains (scale, time, train, weight, version) "
                                       "VALUES ('north', '2026-12-08 10:00', 1, 60000, 1), ('north', '2026-12-08 10:01', 1, 61000, 2)"));

    const std::string url = test::PgCluster::instance()->url(central.database).toStdString();
    const test::ToolRun init = test::run({"central", "init", "--url", url});
    EXPECT_EQ(init.status, 0) << init.err;
    EXPECT_EQ(init.out.substr(0, init.out.find('\n')), "central init: schema upgraded from version 1 to " + std::to_string(central::kSchemaVersion));

    const QString login = central.addScale(QStringLiteral("north"));
    StoreTrain(central.open(), test::trainOf(1));
    EXPECT_EQ(central.pushAs(login, QStringLiteral("north"), central.f.dbDir()), 1);
    EXPECT_EQ(central.rows("SELECT time, weight FROM central.trains WHERE scale = 'north' ORDER BY time"),
              (QStringList{"2026-12-08 10:00:00|60000", "2026-12-08 10:01:00|61000", "2026-12-09 14:00:00|60000"}));
}

}  // namespace
}  // namespace zv
