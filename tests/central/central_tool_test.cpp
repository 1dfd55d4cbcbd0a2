#include "central/central_fixture.h"

#include "central/central_logins.h"

#include "tools/tool_run.h"
#include "records/train_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zv {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::MatchesRegex;

using test::run;
using test::ToolRun;

TEST(CentralTool, InitsThenPushesAFolderAndShowsTheScale) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    test::CentralFixture central;
    central.database = cluster.createDatabase();
    const std::string url = cluster.url(central.database).toStdString();
    const std::string version = std::to_string(central::kSchemaVersion);
    EXPECT_THAT(run({"central", "init", "--url", url}).out, StartsWith("central init: schema version " + version + " created\n"));
    EXPECT_THAT(run({"central", "init", "--url", url}).out,
                AllOf(StartsWith("central init: schema version " + version + " is current\n"),
                      HasSubstr("idle_in_transaction_session_timeout")));
    EXPECT_EQ(run({"central", "status", "--url", url}).out, "central status: no scale has sent anything yet\n");

    StoreTrain(central.open(), test::trainOf(2));
    std::ofstream(QDir(central.f.programDir).filePath(QStringLiteral("ZOLVelt.ini")).toStdString())
        << "[Central]\r\nSend=1\r\nHost=127.0.0.1\r\nPort=" << cluster.port() << "\r\nDatabase="
        << central.database.toStdString() << "\r\nUser=" << test::PgCluster::admin().toStdString()
        << "\r\nScale=north\r\n";
    const std::string db = central.f.dbDir().toStdString();
    EXPECT_EQ(run({"central", "push", "--db", db}).out, "central push: 2 entries sent, 0 left\n");
    EXPECT_THAT(run({"central", "status", "--url", url}).out,
                MatchesRegex("north: last row Trains 2026-12-09 14:00:05.000, received [0-9.]+ [0-9:]+\n"));

    StoreTrain(*central.f.records, test::trainOf(1, test::kFirstWagon.addSecs(600)));
    cluster.stop();
    const ToolRun down = run({"central", "push", "--db", db});
    cluster.start();
    EXPECT_EQ(down.status, 1);
    EXPECT_EQ(down.out, "central push: 0 entries sent, 1 left\n");
    EXPECT_THAT(down.err, HasSubstr("central push: "));
}

// The settings file of a scale sending to the test cluster.
void writeSettings(const test::CentralFixture& central, const std::string& user, const std::string& scale) {
    std::ofstream(QDir(central.f.programDir).filePath(QStringLiteral("ZOLVelt.ini")).toStdString())
        << "[Central]\r\nSend=1\r\nHost=127.0.0.1\r\nPort=" << test::PgCluster::instance()->port()
        << "\r\nDatabase=" << central.database.toStdString() << "\r\nUser=" << user << "\r\nScale=" << scale << "\r\n";
}

TEST(CentralTool, AddsAScaleWhoseLoginPushesWithThePrintedPasswordLine) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    test::CentralFixture central;
    central.database = cluster.createDatabase();
    const std::string url = cluster.url(central.database).toStdString();
    ASSERT_EQ(run({"central", "init", "--url", url}).status, 0);
    const std::string passwordFile = QDir(central.f.programDir).filePath(QStringLiteral("password")).toStdString();
    std::ofstream(passwordFile) << "short\n";
    const std::string scale = "north'; DROP TABLE central.trains; --";
    const ToolRun refused = run({"central", "add-scale", "--url", url, "--scale", scale, "--password-file", passwordFile});
    EXPECT_NE(refused.status, 0);
    EXPECT_THAT(refused.err, HasSubstr("12 characters"));

    std::ofstream(passwordFile) << "pass:word\\of north\n";
    const ToolRun added = run({"central", "add-scale", "--url", url, "--scale", scale, "--password-file", passwordFile});
    ASSERT_EQ(added.status, 0) << added.err;
    const std::string login = central::scaleLoginName(QString::fromStdString(scale)).toStdString();
    EXPECT_THAT(login, MatchesRegex("zolvelt_scale_north___drop_table_central_trains_+[0-9a-f]{8}"));
    const std::string line = "127.0.0.1:" + std::to_string(cluster.port()) + ':' + central.database.toStdString() + ':' + login +
                             ":pass\\:word\\\\of north";
    EXPECT_EQ(added.out, "central add-scale: login " + login + " ready; its password file line:\n" + line + '\n');
    // Put where the scale's programs read it: beside the settings, with the records (the
    // libpq password file of whoever runs the tool does not have it).
    std::ofstream(QDir(central.f.programDir).filePath(QStringLiteral("ZOLVelt.pgpass")).toStdString()) << "# north\n"
                                                                                                      << line << '\n';

    StoreTrain(central.open(), test::trainOf(2));
    writeSettings(central, login, scale);
    EXPECT_EQ(run({"central", "push", "--db", central.f.dbDir().toStdString()}).out, "central push: 2 entries sent, 0 left\n");
    EXPECT_EQ(central.rows("SELECT s.scale, count(*) FROM central.scale_logins s JOIN central.trains t USING (scale) GROUP BY 1"),
              QStringList{QString::fromStdString(scale) + "|2"});
}

TEST(CentralTool, APushThatFailsHalfwayCountsWhatWent) {
    ZV_REQUIRE_POSTGRES();
    test::CentralFixture central;
    central.connect();
    // The server fails the second batch for a reason that is not the entry's content.
    central.server.execScript(QStringLiteral(
        "CREATE FUNCTION central.stall() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
        "IF NEW.weight = 62050 THEN RAISE EXCEPTION 'disk full'; END IF; RETURN NEW; END $$;"
        "CREATE TRIGGER stall BEFORE INSERT ON central.trains FOR EACH ROW EXECUTE FUNCTION central.stall();"));
    StoreTrain(central.open(), test::trainOf(2100));
    const qint64 queued = central.queued();
    writeSettings(central, test::PgCluster::admin().toStdString(), "north");
    const ToolRun failed = run({"central", "push", "--db", central.f.dbDir().toStdString()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "central push: 2000 entries sent, " + std::to_string(queued - 2000) + " left\n");
    EXPECT_THAT(failed.err, HasSubstr("disk full"));
    EXPECT_EQ(central.rows("SELECT count(*) FROM central.trains"), QStringList{"2000"});
}

}  // namespace
}  // namespace zv
