// Train list and train storage on a Trains table of 100 000 rows: switching the list to
// another train with its grid attached, and storing a 100-wagon train with its durable commit,
// without and with its seals and its event; checking the seals of those 100 000 rows.
#include "integrity/event_action.h"
#include "integrity/records_integrity.h"
#include "integrity/seal_check.h"
#include "integrity/seal_key.h"
#include "records/clock.h"
#include "records/records_database.h"
#include "records/table_templates.h"
#include "records/train_storage.h"

#include "bench_trains.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>

namespace {

constexpr int kTrains = 1000;
using zv::bench::kWagonsPerTrain;

using zv::bench::kStart;
using zv::bench::SilentNotifier;
using zv::bench::trainAt;

// One folder with 100 000 rows, made once for all benchmarks of the run.
struct TrainsOf100k {
    QTemporaryDir dir;
    zv::Settings settings;
    zv::SystemClock clock;
    SilentNotifier notifier;
    std::unique_ptr<zv::RecordsDatabase> records;
    int trainsStored = 0;

    TrainsOf100k() {
        zv::writeTemplates(dir.path());
        settings.Path = QDir(dir.path()).filePath(QStringLiteral("DB/")).toStdString();
        records = std::make_unique<zv::RecordsDatabase>(settings, dir.path(), clock, notifier);
        records->DBOpen();
        zv::Table& trains = records->Trains();
        records->DSouT().detach();
        trains.beginBatch();
        for (int t = 0; t < kTrains; ++t) {
            for (int w = 0; w < kWagonsPerTrain; ++w)
                trains.insertRecord({t + 1, kStart.addSecs(3600 * t + 3 * w), QVariant(), 60000, 0, 0, 0, 0, 1, 4, 60, 8650, 1850, 150});
        }
        trains.flush();
        records->DSouT().attach();
        trainsStored = kTrains;
    }

    static TrainsOf100k& instance() {
        static TrainsOf100k folder;
        return folder;
    }

    // A 100-wagon train an hour after the last one.
    int storeNextTrain() { return zv::StoreTrain(*records, trainAt(kStart.addSecs(3600 * trainsStored++))); }
};

// The same folder, another copy, with its rows sealed and the event log beside them.
struct SealedTrainsOf100k : TrainsOf100k {
    std::unique_ptr<zv::RecordsIntegrity> integrity;

    SealedTrainsOf100k() {
        integrity = std::make_unique<zv::RecordsIntegrity>(*records, notifier, QDir(dir.path()).filePath(QStringLiteral("ZOLVelt.ini")));
        integrity->tablesOpened();
    }

    static SealedTrainsOf100k& instance() {
        static SealedTrainsOf100k folder;
        return folder;
    }
};

void BM_SwitchTrainAndShowItInAGrid(benchmark::State& state) {
    TrainsOf100k& folder = TrainsOf100k::instance();
    zv::RecordsDatabase& records = *folder.records;
    zv::TableModel& grid = records.DSouT();
    int train = 1;
    for (auto _ : state) {
        train = train % kTrains + 1;
        records.setSelectedTrain(train);
        records.showSelectedTrain();
        qsizetype characters = 0;
        for (int row = 0; row < grid.rowCount(); ++row)
            for (int column = 0; column < grid.columnCount(); ++column)
                characters += grid.data(grid.index(row, column)).toString().size();
        benchmark::DoNotOptimize(characters);
        if (grid.rowCount() != kWagonsPerTrain) state.SkipWithError("the grid does not show the train");
    }
}
BENCHMARK(BM_SwitchTrainAndShowItInAGrid)->Unit(benchmark::kMillisecond);

void BM_StoreTrainOf100Wagons(benchmark::State& state) {
    TrainsOf100k& folder = TrainsOf100k::instance();
    for (auto _ : state) benchmark::DoNotOptimize(folder.storeNextTrain());
}
BENCHMARK(BM_StoreTrainOf100Wagons)->Unit(benchmark::kMillisecond);

// As the program stores a train: every row sealed, the train's one event committed with it.
void BM_StoreTrainOf100WagonsSealedWithItsEvent(benchmark::State& state) {
    SealedTrainsOf100k& folder = SealedTrainsOf100k::instance();
    for (auto _ : state) {
        const zv::EventAction logged = zv::EventAction::trainStored();
        benchmark::DoNotOptimize(folder.storeNextTrain());
    }
}
BENCHMARK(BM_StoreTrainOf100WagonsSealedWithItsEvent)->Unit(benchmark::kMillisecond);

// The same and, at once, the event taken into the log with its own durable commit (the
// program does that after the train is stored, at the next turn of the event loop).
void BM_StoreTrainOf100WagonsAndTakeItsEventIntoTheLog(benchmark::State& state) {
    SealedTrainsOf100k& folder = SealedTrainsOf100k::instance();
    for (auto _ : state) {
        {
            const zv::EventAction logged = zv::EventAction::trainStored();
            benchmark::DoNotOptimize(folder.storeNextTrain());
        }
        folder.integrity->collect();
    }
}
BENCHMARK(BM_StoreTrainOf100WagonsAndTakeItsEventIntoTheLog)->Unit(benchmark::kMillisecond);

void BM_CheckSealsOfTrainsOf100kRows(benchmark::State& state) {
    SealedTrainsOf100k& folder = SealedTrainsOf100k::instance();
    const QByteArray key = zv::loadSealKey(zv::sealPathsBeside(QDir(folder.dir.path()).filePath(QStringLiteral("ZOLVelt.ini"))).key);
    zv::Table& trains = folder.records->Trains();
    for (auto _ : state) {
        const zv::SealFinding finding = zv::checkSeals(trains.sqliteFile(), QStringLiteral("Trains"), QStringLiteral("Trains"), key, std::nullopt);
        if (!finding.clean()) state.SkipWithError("the seals do not match");
    }

}
BENCHMARK(BM_CheckSealsOfTrainsOf100kRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the event log takes its events on a zero timer
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
