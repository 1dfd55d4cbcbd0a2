#include "central/central_fixture.h"

#include "central/central_tables.h"
#include "central/connection_params.h"
#include "records/train_storage.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace zv {
namespace {

CentralSettings settingsFor(const test::PgCluster& cluster, const QString& database) {
    CentralSettings c;
    c.Host = test::PgCluster::host().toStdString();
    c.Port = cluster.port();
    c.Database = database.toStdString();
    c.User = test::PgCluster::admin().toStdString();
    return c;
}

// What the server says of the session the settings open: whether it runs over TLS.
QString sessionEncrypted(const CentralSettings& c) {
    central::PgConnection connection;
    connection.connect(central::paramsFromSettings(c));
    return connection.exec(QStringLiteral("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()")).text(0, 0);
}

TEST(ConnectionSettings, TheLinkIsEncryptedUnlessTheSettingsSayDisable) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& tls = *test::PgCluster::instance();
    test::PgCluster* plain = test::PgCluster::withoutTls();
    ASSERT_NE(plain, nullptr) << test::PgCluster::skipReason();
    CentralSettings c = settingsFor(tls, QStringLiteral("postgres"));
    EXPECT_EQ(sessionEncrypted(c), QStringLiteral("t")) << "required by default";
    EXPECT_FALSE(central::unencrypted(c));
    c.SslRootCert = tls.rootCert().toStdString();
    EXPECT_EQ(central::sslMode(c), QStringLiteral("verify-full"));
    EXPECT_EQ(sessionEncrypted(c), QStringLiteral("t")) << "the server's certificate and name checked";
    c.Host = "localhost";  // a name the certificate does not carry
    EXPECT_THROW(sessionEncrypted(c), central::PgError);

    CentralSettings p = settingsFor(*plain, QStringLiteral("postgres"));
    EXPECT_THROW(sessionEncrypted(p), central::PgError) << "a server without TLS is refused";
    p.SslRootCert = tls.rootCert().toStdString();
    EXPECT_THROW(sessionEncrypted(p), central::PgError);
    p.SslMode = "disable";
    EXPECT_EQ(sessionEncrypted(p), QStringLiteral("f")) << "clear text only when written";
    EXPECT_TRUE(central::unencrypted(p));
}

TEST(ConnectionSettings, TheDatabaseFieldIsANameAndOverridesNoOtherField) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    for (const char* hidden : {"host=evil port=1", "postgresql://zvadmin@127.0.0.1:1/postgres", "dbname=postgres sslmode=disable"}) {
        CentralSettings c = settingsFor(cluster, QString::fromUtf8(hidden));
        try {
            sessionEncrypted(c);
            ADD_FAILURE() << "connected to a database named " << hidden;
        } catch (const central::PgError& e) {
            // Our server on our port answered, looking for a database of that very name.
            EXPECT_NE(e.message().indexOf(QStringLiteral("\"%1\" does not exist").arg(QString::fromUtf8(hidden))), -1)
                << e.message().toStdString();
        }
    }
}

// A client that stopped in the middle of a transaction holding a row's lock (a PC frozen, a
// link that stopped forwarding) keeps no later push waiting: the server ends its session.
TEST(ConnectionSettings, AStalledSessionDoesNotBlockTheNextPush) {
    ZV_REQUIRE_POSTGRES();
    test::CentralFixture central;
    central.connect();
    RecordsDatabase& r = central.open();
    StoreTrain(r, test::trainOf(2));
    central.push();
    const CentralSettings settings = settingsFor(*test::PgCluster::instance(), central.database);
    const pid_t child = ::fork();
    if (child == 0) {
        central::PgConnection stalled;
        stalled.connect(central::paramsFromSettings(settings));
        stalled.exec(QStringLiteral("BEGIN"));
        stalled.exec(QStringLiteral("UPDATE central.trains SET weight = weight"));
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status));

    r.Trains().setFiltered(false);
    r.Trains().first();
    r.Trains().edit();
    r.Trains().setValue(QStringLiteral("Weight"), 61500);
    r.Trains().post();
    const auto start = std::chrono::steady_clock::now();
    central::PgConnection connection;
    connection.connect(central::paramsFromSettings(settings));
    qint64 sent = -1;
    EXPECT_NO_THROW(sent = central::Pusher(central.f.dbDir(), QStringLiteral("north")).pushAll(connection));
    const auto waited = std::chrono::steady_clock::now() - start;
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    EXPECT_EQ(sent, 1);
    EXPECT_LT(waited, std::chrono::milliseconds(central::kIdleInTransactionTimeoutMs + 4000));
    EXPECT_EQ(central.rows("SELECT weight FROM central.trains ORDER BY time LIMIT 1"), QStringList{"61500"});
}

}  // namespace
}  // namespace zv
