#pragma once

#include <QDateTime>
#include <QVariant>
#include <functional>
#include <vector>

#include "processing/wagon_window.h"
#include "records/records_fixture.h"
#include "ui/scripted_messages.h"

namespace zv::test {

// Real tables in a temporary program folder, opened as at start-up, with the messages
// recorded and answered from a script.
struct ProcessingFixture : RecordsFixture {
    ScriptedMessages messages;
    int trainTime = 0;

    ProcessingFixture() { open(); }

    Table& trains() { return records->Trains(); }
    Table& wagons() { return records->Wagons(); }
    Table& book() { return records->Book(); }

    // A train-list row of `train`, selected in the list as the operator would have it.
    void addTrainRow(int train, const QVariant& wagon, const QVariant& weight, int note = 1,
                     const QVariant& weiL = {}) {
        trains().insertValues({
            {QStringLiteral("Train"), train},
            {QStringLiteral("Time"),
             QDateTime(QDate(2026, 12, 9), QTime(8, 0)).addSecs(60 * ++trainTime)},
            {QStringLiteral("Wagon"), wagon},
            {QStringLiteral("Weight"), weight},
            {QStringLiteral("Direc"), 0},
            {QStringLiteral("Note"), note},
            {QStringLiteral("Axle"), 4},
            {QStringLiteral("BaseW"), 8650},
            {QStringLiteral("WeiL"), weiL},
        });
        records->setSelectedTrain(train);
        records->showSelectedTrain();
        trains().last();
    }

    int wagonRows() {
        wagons().first();
        return wagons().recordCount();
    }
};

// Stands in for the processing window: runs `fill` on the row as the operator would, then
// confirms or cancels.
class FakeWindow : public WagonWindow {
  public:
    std::function<void(ProcessingMode)> fill;
    bool confirm = true;
    int exit = kNothingChosen;
    int train2 = 1;
    std::vector<ProcessingMode> opened;
    Table* wagons = nullptr;

    bool process(ProcessingMode mode) override {
        opened.push_back(mode);
        if (fill) fill(mode);
        if (!confirm && wagons) {  // as the window does when it closes cancelled
            wagons->edit();
            wagons->clearValue(QStringLiteral("Wei2"));
        }
        return confirm;
    }
    int exitLoad() const override { return exit; }
    int secondTrain() const override { return train2; }
};

}  // namespace zv::test
