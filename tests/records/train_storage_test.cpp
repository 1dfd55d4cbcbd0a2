#include "records_fixture.h"

#include "records/train_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

namespace zv {
namespace {

WallTime wall(const QDateTime& t) { return WallTime(std::chrono::milliseconds(t.toMSecsSinceEpoch())); }

const QDateTime kStart(QDate(2026, 12, 9), QTime(14, 0));

StoredTrain trainOf(int wagons, QDateTime start = kStart, int direc = 0) {
    StoredTrain train;
    for (int i = 0; i < wagons; ++i) {
        StoredWagonRow row;
        row.Time = wall(start.addSecs(5 * i));
        row.Weight = 60000 + i;
        row.Wei1 = 1;
        row.Wei2 = 2;
        row.Wei3 = 3;
        row.Direc = direc;
        row.Note = 1;
        row.Axle = 4;
        row.Speed = 55;
        row.BaseW = 8650;
        row.BaseB = 1850;
        row.WeiL = -120;
        train.rows.push_back(row);
    }
    return train;
}

class StoreTrainTest : public ::testing::Test {
protected:
    test::RecordsFixture f;
    RecordsDatabase& r = f.open();
    Table& trains = r.Trains();

    QList<int> trainsInKeyOrder() {
        trains.setFiltered(false);
        QList<int> result;
        for (trains.first(); !trains.eof(); trains.next()) result.append(trains.toInt(QStringLiteral("Train")));
        r.showSelectedTrain();
        return result;
    }
};

TEST_F(StoreTrainTest, StoresEveryWagonAndSelectsTheNewTrain) {
    EXPECT_EQ(StoreTrain(r, trainOf(3)), 1);
    EXPECT_EQ(StoreTrain(r, trainOf(2, kStart.addSecs(600), 1)), 2);
    EXPECT_EQ(r.selectedTrain(), 2);
    EXPECT_EQ(trains.filter(), QStringLiteral("Train=2"));
    ASSERT_EQ(r.DSouT().rowCount(), 2);
    trains.first();
    EXPECT_EQ(trains.value(QStringLiteral("Time")).toDateTime(), kStart.addSecs(600));
    EXPECT_EQ(trains.toInt(QStringLiteral("Weight")), 60000);
    EXPECT_EQ(trains.toInt(QStringLiteral("Direc")), 1);
    EXPECT_EQ(trains.toInt(QStringLiteral("WeiL")), -120);
    EXPECT_EQ(trains.toInt(QStringLiteral("BaseB")), 1850);
    EXPECT_TRUE(trains.isNull(QStringLiteral("Wagon")));
    EXPECT_TRUE(trains.isNull(QStringLiteral("DisS")));
    EXPECT_EQ(trainsInKeyOrder(), (QList<int>{1, 1, 1, 2, 2}));
    EXPECT_EQ(StoreTrain(r, StoredTrain{}), 0);
}

TEST_F(StoreTrainTest, NumbersStartAgainAfter32767) {
    trains.insertRecord({32767, kStart.addSecs(-60), QVariant(), 1000, 0, 0, 0, 0, 1});
    EXPECT_EQ(StoreTrain(r, trainOf(1)), 1);
}

TEST_F(StoreTrainTest, CollidingTimesMoveOnBy86Point4Milliseconds) {
    StoredTrain train = trainOf(3);
    for (auto& row : train.rows) row.Time = wall(kStart);
    StoreTrain(r, train);
    QList<QDateTime> times;
    for (trains.first(); !trains.eof(); trains.next()) times.append(trains.value(QStringLiteral("Time")).toDateTime());
    EXPECT_EQ(times, (QList<QDateTime>{kStart, kStart.addMSecs(86), kStart.addMSecs(172)}));
}

TEST_F(StoreTrainTest, ARefusedWagonIsSkippedAndTheOthersStay) {
    StoredTrain train = trainOf(3);
    train.rows[1].Axle = 9;
    StoreTrain(r, train);
    EXPECT_EQ(trains.recordCount(), 2);
    trains.last();
    EXPECT_EQ(trains.value(QStringLiteral("Time")).toDateTime(), kStart.addSecs(10));
}

TEST_F(StoreTrainTest, RemovesTheStaticRowsThatOpenThePreviousNumber) {
    StoreTrain(r, trainOf(1, kStart.addSecs(-3600)));  // train 1
    // Train 2: static markers, then a weighed row, then another marker.
    trains.insertValues({{QStringLiteral("Train"), 2}, {QStringLiteral("Time"), kStart.addSecs(-600)}});
    trains.insertValues({{QStringLiteral("Train"), 2}, {QStringLiteral("Time"), kStart.addSecs(-500)}});
    trains.insertRecord({2, kStart.addSecs(-400), QVariant(), 1000, 0, 0, 0, 1, 1});
    trains.insertValues({{QStringLiteral("Train"), 2}, {QStringLiteral("Time"), kStart.addSecs(-300)}});

    EXPECT_EQ(StoreTrain(r, trainOf(2)), 3);
    trains.setFilter(QStringLiteral("Train=2"));
    QList<QDateTime> left;
    for (trains.first(); !trains.eof(); trains.next()) left.append(trains.value(QStringLiteral("Time")).toDateTime());
    EXPECT_EQ(left, (QList<QDateTime>{kStart.addSecs(-400), kStart.addSecs(-300)}));
}

TEST(StoreTrainSessions, EachRunOnTheSameFolderStoresTheNextTrain) {
    test::RecordsFixture f;
    for (int run = 1; run <= 2; ++run) {
        RecordsDatabase& r = f.open();
        EXPECT_EQ(StoreTrain(r, trainOf(2, kStart.addSecs(3600 * run))), run);
        const QList<Row> stored = r.Trains().readFilteredRows();
        ASSERT_EQ(stored.size(), 2);
        EXPECT_EQ(stored[1].toInt(QStringLiteral("Weight")), 60001);
        EXPECT_EQ(stored[1].value(QStringLiteral("Time")).toDateTime(), kStart.addSecs(3600 * run + 5));
        f.records.reset();
    }
}

TEST_F(StoreTrainTest, AStoredTrainIsOnDiskAtOnce) {
    StoreTrain(r, trainOf(4));
    EXPECT_FALSE(trains.inBatch());
    Database other;
    other.setFolder(f.dbDir());
    other.addPassword(schema::kTablePassword);
    Table reader(other, schema::trains());
    reader.open();
    EXPECT_EQ(reader.recordCount(), 4);
}

}  // namespace
}  // namespace zv
