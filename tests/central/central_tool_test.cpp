#include "central/central_fixture.h"

#include "tools/tool_run.h"
#include "records/train_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zv {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

using test::run;
using test::ToolRun;

TEST(CentralTool, InitsThenPushesAFolderAndShowsTheScale) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    test::CentralFixture central;
    central.database = cluster.createDatabase();
    const std::string url = cluster.url(central.database).toStdString();
    EXPECT_EQ(run({"central", "init", "--url", url}).out, "central init: schema version 3 created\n");
    EXPECT_EQ(run({"central", "init", "--url", url}).out, "central init: schema version 3 is current\n");
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

}  // namespace
}  // namespace zv
