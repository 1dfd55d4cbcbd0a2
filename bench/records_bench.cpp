// Train list and train storage on a Trains table of 100 000 rows: switching the list to
// another train with its grid attached, and storing a 100-wagon train with its durable commit.
#include "records/clock.h"
#include "records/records_database.h"
#include "records/table_templates.h"
#include "records/train_storage.h"

#include "bench_trains.h"

#include <benchmark/benchmark.h>

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
    for (auto _ : state) {
        const QDateTime start = kStart.addSecs(3600 * folder.trainsStored++);
        const zv::StoredTrain train = trainAt(start);
        benchmark::DoNotOptimize(zv::StoreTrain(*folder.records, train));
    }
}
BENCHMARK(BM_StoreTrainOf100Wagons)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
