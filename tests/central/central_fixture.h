#pragma once

#include "central/central_schema.h"
#include "central/outbox_listener.h"
#include "central/pg_cluster.h"
#include "central/push.h"
#include "engine/stored_train.h"
#include "records/records_fixture.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

namespace zv::test {

inline const QDateTime kFirstWagon(QDate(2026, 12, 9), QTime(14, 0));

// A train of the given number of wagons, five seconds apart, 60 t and up.
StoredTrain trainOf(int wagons, const QDateTime& start = kFirstWagon);

// A program folder whose tables enter every change into their outbox, as the program's do
// when sending is on.
struct OutboxFolder {
    RecordsFixture f;
    central::OutboxListener listener;

    RecordsDatabase& open() {
        f.records = std::make_unique<RecordsDatabase>(f.settings, f.programDir, f.clock, f.notifier);
        f.records->connection().addWriteListener(&listener);
        f.records->DBOpen();
        return *f.records;
    }
    qint64 queued() const { return central::OutboxQueue(f.dbDir()).count(); }
};

// An outbox folder and a fresh database of the test cluster with the central schema.
struct CentralFixture : OutboxFolder {
    QString database;
    central::PgConnection server;

    // Call after ZV_REQUIRE_POSTGRES.
    void connect(bool withSchema = true);
    central::ConnectionParams params() const { return PgCluster::instance()->params(database); }
    // The same database as the given login.
    central::ConnectionParams paramsAs(const QString& login) const;
    qint64 push(const QString& scale = QStringLiteral("north"));
    // A folder's outbox sent as the given login, under the name of the given scale.
    qint64 pushAs(const QString& login, const QString& scale, const QString& folder);
    // A login of its own for the scale in this database, its password in the tests' password file.
    QString addScale(const QString& scale);
    // One query's rows, each row's columns joined by '|'.
    QStringList rows(const QString& sql);
};

}  // namespace zv::test
