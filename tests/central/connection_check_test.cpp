#include "central/central_fixture.h"
#include "central/connection_check.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using V = central::CheckResult::Verdict;

TEST(ConnectionCheck, SaysWhatHappenedInTheOperatorsWords) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    const QString withSchema = cluster.createDatabase();
    const QString bare = cluster.createDatabase();
    const QString newer = cluster.createDatabase();
    {
        central::PgConnection admin;
        admin.connect(cluster.params(withSchema));
        central::initSchema(admin);
        admin.exec(QStringLiteral("CREATE ROLE clerk LOGIN PASSWORD 'not-in-the-password-file'"));
        admin.connect(cluster.params(newer));
        central::initSchema(admin);
        admin.exec(QStringLiteral("UPDATE central.schema_version SET version = $1"), {QString::number(central::kSchemaVersion + 1)});
    }
    auto with = [&](const QString& database, const QString& user = test::PgCluster::admin(), int port = 0) {
        central::ConnectionParams p = cluster.params(database);
        p.set(QStringLiteral("user"), user);
        if (port) p.set(QStringLiteral("port"), QString::number(port));
        return p;
    };
    const struct {
        central::ConnectionParams params;
        V verdict;
        const char* opening;
    } cases[] = {
        {with(withSchema, test::PgCluster::admin(), test::closedPort()), V::Unreachable, "Сервер недоступен"},
        {with(withSchema, QStringLiteral("clerk")), V::AuthenticationFailed, "Ошибка входа"},
        {with(QStringLiteral("no_such_base")), V::DatabaseMissing, "База данных \"no_such_base\" на сервере не найдена"},
        {with(bare), V::SchemaMissing, "Схема центральной базы не создана"},
        {with(newer), V::SchemaNewer, "Схема центральной базы новее программы (версия "},
        {with(withSchema), V::Ok, "Связь в порядке"},
    };
    for (const auto& c : cases) {
        const central::CheckResult result = central::checkConnection(c.params);
        EXPECT_EQ(result.verdict, c.verdict) << result.text.toStdString();
        EXPECT_TRUE(result.text.startsWith(QString::fromUtf8(c.opening))) << result.text.toStdString();
    }
}

}  // namespace
}  // namespace zv
