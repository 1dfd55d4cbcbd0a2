#pragma once

// What the benchmarks of storing trains share: a notifier that tells no one and a train of
// 100 wagons three seconds apart.
#include "engine/stored_train.h"
#include "records/records_notifier.h"

#include <QDateTime>

#include <chrono>

namespace zv::bench {

constexpr int kWagonsPerTrain = 100;

inline const QDateTime kStart(QDate(2026, 1, 1), QTime(0, 0));

class SilentNotifier : public RecordsNotifier {
public:
    void information(const QString&) override {}
};

inline StoredTrain trainAt(const QDateTime& start) {
    StoredTrain train;
    for (int w = 0; w < kWagonsPerTrain; ++w) {
        StoredWagonRow row;
        row.Time = WallTime(std::chrono::milliseconds(start.addSecs(3 * w).toMSecsSinceEpoch()));
        row.Weight = 60000 + w;
        row.Note = 1;
        row.Axle = 4;
        row.Speed = 60;
        row.BaseW = 8650;
        row.BaseB = 1850;
        row.WeiL = 150;
        train.rows.push_back(row);
    }
    return train;
}

}  // namespace zv::bench
