#include "records/train_storage.h"

#include "records/date_time_text.h"
#include "records/records_database.h"
#include "records/table_error.h"

#include <chrono>

namespace zv {

namespace {

constexpr int kMaxTrain = 32767;

QDateTime toLocal(WallTime time) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms);
}

int nextTrainNumber(Table& trains) {
    trains.setFilter(QString());
    trains.setFiltered(true);
    trains.last();
    if (!trains.hasCurrentRow()) return 1;
    const int n = trains.toInt(QStringLiteral("Train")) + 1;
    return n > kMaxTrain || n < 1 ? 1 : n;
}

// The wagon's time, moved on by 0.000001 day (86.4 ms) until no row has it.
QDateTime uniqueTime(Table& trains, WallTime time) {
    const WallTime base = time;
    for (int step = 1; trains.findKey(toLocal(time)); ++step)
        time = base + std::chrono::microseconds(86400) * step;
    return toLocal(time);
}

void appendRow(Table& trains, int train, const StoredWagonRow& row) {
    trains.insertValues({
        {QStringLiteral("Train"), train},
        {QStringLiteral("Time"), uniqueTime(trains, row.Time)},
        {QStringLiteral("Weight"), row.Weight},
        {QStringLiteral("Wei1"), row.Wei1},
        {QStringLiteral("Wei2"), row.Wei2},
        {QStringLiteral("Wei3"), row.Wei3},
        {QStringLiteral("Direc"), row.Direc},
        {QStringLiteral("Note"), row.Note},
        {QStringLiteral("Axle"), row.Axle},
        {QStringLiteral("Speed"), row.Speed},
        {QStringLiteral("BaseW"), row.BaseW},
        {QStringLiteral("BaseB"), row.BaseB},
        {QStringLiteral("WeiL"), row.WeiL},
    });
}

// Static-weighing rows (null Direc) that open the previous train reserved its number;
// the first row with a direction ends them.
void removeStaticRows(Table& trains, int previousTrain) {
    trains.setFilter(QStringLiteral("Train=%1").arg(previousTrain));
    while (!trains.isEmpty() && trains.isNull(QStringLiteral("Direc"))) trains.remove();
}

}  // namespace

int StoreTrain(RecordsDatabase& records, const StoredTrain& train) {
    if (train.empty()) return 0;
    Table& trains = records.Trains();
    records.DSouT().detach();
    try {
        const int n = nextTrainNumber(trains);
        for (const StoredWagonRow& row : train.rows) trains.runGuarded([&] { appendRow(trains, n, row); });
        trains.flush();
        removeStaticRows(trains, n - 1);
        records.setSelectedTrain(n);
        records.showSelectedTrain();
        records.DSouT().attach();
        return n;
    } catch (...) {
        records.DSouT().attach();
        throw;
    }
}

}  // namespace zv
