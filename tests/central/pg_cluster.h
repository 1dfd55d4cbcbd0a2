#pragma once

#include "central/loopback_port.h"
#include "central/pg_connection.h"

#include <QString>

#include <memory>
#include <string>

namespace zv::test {

// A private PostgreSQL cluster for the tests of this process: made with initdb in a folder of
// its own under the temporary folder, listening only on 127.0.0.1 on a free port, run as the
// "postgres" user (or "nobody") when the tests run as root, and removed at the end. Logins
// over TCP need a password; the tests' password file (PGPASSFILE) holds the administrator's.
class PgCluster {
public:
    // The cluster of this process, started on first use, with TLS on (a self-signed
    // certificate, rootCert()); null when the server's programs are not installed
    // (skipReason() says so).
    static PgCluster* instance();
    // A second cluster that speaks no TLS at all.
    static PgCluster* withoutTls();
    static const std::string& skipReason();
    static bool serverMissing();

    ~PgCluster();

    int port() const { return port_; }
    static QString host() { return QStringLiteral("127.0.0.1"); }
    static QString admin() { return QStringLiteral("zvadmin"); }

    // A new, empty database; each test takes its own.
    QString createDatabase();
    // The administrator's connection to a database of the cluster.
    central::ConnectionParams params(const QString& database) const;
    // A libpq URL of it, as the tool's --url takes one.
    QString url(const QString& database) const;
    // The certificate the server presents (its own authority); empty without TLS.
    QString rootCert() const { return QString::fromStdString(rootCert_); }
    // Puts a login's password into the tests' password file.
    static void addPassword(const QString& login, const QString& password);

    void stop();
    void start();
    bool running() const { return running_; }

private:
    explicit PgCluster(bool tls) : tls_(tls) {}
    static PgCluster* shared(bool tls);
    bool make();
    void makeCertificate();
    int run(const std::string& program, const std::vector<std::string>& args) const;
    int runAsServer(std::string path, const std::vector<std::string>& args) const;
    std::string bin(const std::string& program) const;

    std::string binDir_;
    std::string dir_;
    std::string rootCert_;
    bool tls_ = true;
    int port_ = 0;
    int databases_ = 0;
    bool running_ = false;
};

}  // namespace zv::test

// Skips a test only where the server is not installed; a server that fails to start fails it.
#define ZV_REQUIRE_POSTGRES()                                                                  \
    do {                                                                                       \
        if (::zv::test::PgCluster::serverMissing())                                            \
            GTEST_SKIP() << "PostgreSQL server programs not found under /usr/lib/postgresql/*/bin " \
                            "(install the Debian package postgresql: scripts/install-deps.sh)"; \
        ASSERT_NE(::zv::test::PgCluster::instance(), nullptr) << ::zv::test::PgCluster::skipReason(); \
    } while (false)
