#pragma once

#include "central/pg_cluster.h"
#include "office/http_client.h"
#include "office/http_server.h"
#include "office/office_service.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

namespace zv::test {

// "Today" for the service under test.
inline const QDateTime kOfficeNow(QDate(2026, 12, 10), QTime(12, 0));

// A database of the test cluster with the central schema and a known data set of two scales,
// read by the service through a login that may only read it (and keep the office's users),
// and the real service listening on a free loopback port. Users: anna (admin), boris (office),
// both with the password kPassword.
struct OfficeFixture {
    static inline const QString kPassword = QStringLiteral("correct horse");
    static inline const QString kReader = QStringLiteral("zv_office_reader");

    QString database;
    central::PgConnection owner;  // the administrator's connection, for checks in SQL
    std::unique_ptr<office::OfficeService> service;
    std::unique_ptr<office::HttpServer> server;

    // Call after ZV_REQUIRE_POSTGRES.
    void start(const office::OfficeOptions& changes = {});
    int port() const { return server->port(); }
    OfficeClient client() const { return OfficeClient(port()); }
    OfficeClient loggedIn(const QString& user);
    // One query's first column as text; the rows joined by '\n'.
    QString sql(const QString& query, const QStringList& parameters = {});
    // The reader's URL, as `serve --url` takes it.
    QString readerUrl() const;
};

}  // namespace zv::test
