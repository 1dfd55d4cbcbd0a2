// The central database: what the outbox adds to storing a 100-wagon train, and how fast the
// sender pushes an outbox to a server of its own (a private cluster on loopback, as the tests
// make one).
#include "central/central_schema.h"
#include "central/outbox_listener.h"
#include "central/pg_cluster.h"
#include "central/push.h"
#include "central/witness.h"
#include "integrity/seal_chain.h"
#include "records/sqlite_file.h"
#include "records/sql_statement.h"
#include "records/clock.h"
#include "records/row_write_listener.h"
#include "records/records_database.h"
#include "records/table_templates.h"
#include "records/train_storage.h"

#include "bench_trains.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>

namespace {

using zv::bench::kWagonsPerTrain;

using zv::bench::kStart;
using zv::bench::SilentNotifier;
using zv::bench::trainAt;

// Told of every write and doing nothing: what the write hook itself costs.
struct IdleListener : zv::RowWriteListener {
    void rowWritten(zv::Table&, const zv::Row*, const zv::Row&) override {}
    void rowRemoved(zv::Table&, const zv::Row&) override {}
};

enum Listening { Nothing = 0, Outbox = 1, Idle = 2 };

// A fresh tables folder, with the outbox, an idle listener or nothing on its tables.
struct Folder {
    QTemporaryDir dir;
    zv::Settings settings;
    zv::SystemClock clock;
    SilentNotifier notifier;
    zv::central::OutboxListener outbox;
    IdleListener idle;
    std::unique_ptr<zv::RecordsDatabase> records;
    int trainsStored = 0;

    explicit Folder(Listening listening) {
        zv::writeTemplates(dir.path());
        settings.Path = tables().toStdString() + "/";
        records = std::make_unique<zv::RecordsDatabase>(settings, dir.path(), clock, notifier);
        if (listening == Outbox) records->connection().addWriteListener(&outbox);
        if (listening == Idle) records->connection().addWriteListener(&idle);
        records->DBOpen();
    }
    QString tables() const { return QDir(dir.path()).filePath(QStringLiteral("DB")); }
    void storeTrain() { zv::StoreTrain(*records, trainAt(kStart.addSecs(3600 * trainsStored++))); }
};

void BM_StoreTrainOf100Wagons(benchmark::State& state) {
    const auto listening = static_cast<Listening>(state.range(0));
    const bool withOutbox = listening == Outbox;
    Folder folder(listening);
    const zv::central::OutboxQueue queue(folder.tables());
    for (auto _ : state) {
        folder.storeTrain();
        if (!withOutbox) continue;
        state.PauseTiming();  // the sender drains the outbox meanwhile
        queue.remove(queue.oldest(kWagonsPerTrain));
        state.ResumeTiming();
    }
    state.SetLabel(withOutbox ? "with the outbox" : listening == Idle ? "an idle listener" : "without the outbox");
}
BENCHMARK(BM_StoreTrainOf100Wagons)->Arg(Nothing)->Arg(Idle)->Arg(Outbox)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A new database of the private cluster with the central schema; false (the benchmark
// skipped) without a server.
bool connectToANewDatabase(zv::central::PgConnection& connection, benchmark::State& state) {
    zv::test::PgCluster* cluster = zv::test::PgCluster::instance();
    if (!cluster) {
        state.SkipWithError(zv::test::PgCluster::skipReason().c_str());
        return false;
    }
    connection.connect(cluster->params(cluster->createDatabase()));
    zv::central::initSchema(connection);
    return true;
}

void BM_PushRowsToALocalServer(benchmark::State& state) {
    zv::central::PgConnection connection;
    if (!connectToANewDatabase(connection, state)) return;
    Folder folder(Outbox);
    zv::central::Pusher pusher(folder.tables(), QStringLiteral("bench"));
    const int trains = static_cast<int>(state.range(0)) / kWagonsPerTrain;
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int t = 0; t < trains; ++t) folder.storeTrain();
        state.ResumeTiming();
        rows += pusher.pushAll(connection);
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_PushRowsToALocalServer)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The comparison with the witness of a Trains table of 100 000 sealed rows: the server's heads
// fetched and each looked up in the chain. Arg: how many heads the server witnessed (one per
// push that moved the chain; 100 000 is every row pushed on its own, the worst case).
void BM_CompareWithTheWitnessOf100kRows(benchmark::State& state) {
    zv::central::PgConnection connection;
    if (!connectToANewDatabase(connection, state)) return;
    Folder folder(Nothing);
    zv::SqliteFile& trains = folder.records->Trains().sqliteFile();
    trains.exec(QStringLiteral("BEGIN"));
    trains.exec(QStringLiteral("WITH RECURSIVE r(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM r WHERE i < 99999) "
                               "INSERT INTO Trains (Train, Time, Weight) SELECT i / 100 + 1, "
                               "strftime('%Y-%m-%d %H:%M:%f', '2026-12-01', (i * 3) || ' seconds'), 60000 FROM r"));
    zv::seals::sealExistingRows(trains, QByteArray(32, 'k'), QStringLiteral("Trains"));
    trains.exec(QStringLiteral("COMMIT"));
    // Every step-th entry of the chain as the server witnessed it.
    const qint64 step = 100000 / state.range(0);
    QStringList numbers, heads;
    zv::SqlStatement read = trains.prepare(QStringLiteral("SELECT n, seal FROM zv_seal WHERE n % ? = 0"));
    read.bind(1, step);
    while (read.step()) {
        numbers.append(QString::number(read.columnInt64(0)));
        heads.append(read.column(1).toString());
    }
    connection.exec(QStringLiteral("INSERT INTO central.witness (scale, file, n, head, sent_at) "
                                   "SELECT 'bench', 'Trains.db', n, h, now() FROM unnest($1::bigint[], $2::text[]) AS w(n, h)"),
                    {u'{' + numbers.join(u',') + u'}', u'{' + heads.join(u',') + u'}'});
    for (auto _ : state) {
        if (!zv::central::checkAgainstWitness(connection, QStringLiteral("bench"), folder.tables()).isEmpty())
            state.SkipWithError("the chain does not agree with the witness");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CompareWithTheWitnessOf100kRows)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
