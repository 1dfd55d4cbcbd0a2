#include "records_fixture.h"

#include "records/derived_fields.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zv {
namespace {

QDateTime at(int minute) { return QDateTime(QDate(2026, 12, 9), QTime(8, minute)); }

class TableModelTest : public ::testing::Test {
protected:
    test::RecordsFixture f;
    RecordsDatabase& r = f.open();
    Table& trains = r.Trains();
    TableModel& grid = r.DSouT();

    void SetUp() override {
        f.settings.Did = 50;
        trains.insertRecord({1, at(1), QVariant(), 60000, 0, 0, 0, 0, 1, 4, 50, 8650, 1850, 1050});
        trains.insertRecord({1, at(2), QStringLiteral("123"), 50000, 0, 0, 0, 1, 0, 4});
        trains.insertRecord({2, at(3), QVariant(), 70000, 0, 0, 0, 0, 3, 6});
        GridColumn wagon;
        wagon.field = QStringLiteral("Wagon");
        wagon.editableWhen = TrainsWagonEditable;
        GridColumn time;
        time.field = QStringLiteral("Time");
        GridColumn weil;
        weil.field = QStringLiteral("WeiL");
        GridColumn weil0;
        weil0.field = QStringLiteral("WeiL0");
        GridColumn direct;
        direct.field = QStringLiteral("Direct");
        direct.heading = QStringLiteral("Направление");
        grid.setColumns({time, wagon, weil, weil0, direct});
        r.showSelectedTrain();
    }

    QString cell(int row, int column) const { return grid.data(grid.index(row, column)).toString(); }
};

TEST_F(TableModelTest, ShowsTheFilteredRowsWithTheirDisplayTexts) {
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Дата, время"));
    EXPECT_EQ(grid.headerData(4, Qt::Horizontal).toString(), QStringLiteral("Направление"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("09.12.2026  08:01"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("1050"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("29500"));
    EXPECT_EQ(cell(0, 4), QStringLiteral("Въезд"));
    EXPECT_EQ(cell(1, 4), QStringLiteral("Выезд"));

    trains.setFilter(QStringLiteral("Train=2"));
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.currentRow(), 0);
    trains.setFiltered(false);
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST_F(TableModelTest, TheWagonCellIsEditableOnlyWhileTheRowAwaitsProcessing) {
    EXPECT_TRUE(grid.flags(grid.index(0, 1)) & Qt::ItemIsEditable);  // Note 1
    EXPECT_FALSE(grid.flags(grid.index(1, 1)) & Qt::ItemIsEditable);  // Note 0
    EXPECT_FALSE(grid.flags(grid.index(0, 3)) & Qt::ItemIsEditable);  // calculated

    // A typed number updates its row in place: a reset would take the view's cursor and
    // open editor away while the operator goes on to the next wagon.
    int resets = 0;
    QList<int> changedRows;
    QObject::connect(&grid, &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&grid, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         for (int row = from.row(); row <= to.row(); ++row) changedRows.append(row);
                     });
    EXPECT_TRUE(grid.setData(grid.index(0, 1), QStringLiteral("4321")));
    EXPECT_EQ(cell(0, 1), QStringLiteral("4321"));
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_EQ(grid.currentText(QStringLiteral("Wagon")), QStringLiteral("4321"));
    EXPECT_EQ(resets, 0);
    EXPECT_TRUE(changedRows.contains(0));

    trains.insertRecord({1, at(4), QVariant(), 61000, 0, 0, 0, 0, 1, 4});
    EXPECT_EQ(resets, 1) << "a new row changes the rows shown";
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST_F(TableModelTest, ARefusedEditIsReportedAndChangesNothing) {
    QStringList errors;
    QObject::connect(&grid, &TableModel::editFailed, [&](const QString& e) { errors.append(e); });
    EXPECT_FALSE(grid.setData(grid.index(0, 1), QStringLiteral("123456789")));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_THAT(errors.first().toStdString(), ::testing::HasSubstr("длиннее 8"));
    EXPECT_EQ(cell(0, 1), QString());
    EXPECT_EQ(trains.state(), Table::State::Browse);
}

TEST_F(TableModelTest, ADetachedLinkShowsNoIntermediateState) {
    int resets = 0;
    QObject::connect(&grid, &QAbstractItemModel::modelReset, [&] { ++resets; });
    grid.detach();
    trains.setFiltered(false);
    trains.last();
    trains.remove();
    trains.setFilter(QStringLiteral("Train=2"));
    trains.setFiltered(true);
    EXPECT_EQ(grid.rowCount(), 2) << "still the rows shown before";
    EXPECT_EQ(resets, 0);
    grid.attach();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(grid.rowCount(), 0);
}

TEST_F(TableModelTest, TheGridMovesTheCursorAndFollowsIt) {
    QList<int> seen;
    QObject::connect(&grid, &TableModel::currentRowChanged, [&](int row) { seen.append(row); });
    grid.setCurrentRow(1);
    EXPECT_EQ(trains.value(QStringLiteral("Wagon")).toString(), QStringLiteral("123"));
    trains.first();
    EXPECT_EQ(seen, (QList<int>{1, 0}));
}

TEST_F(TableModelTest, ARowBeingInsertedIsShownLastAndPostedWhenTheCursorLeaves) {
    TableModel& loads = r.DSouL();
    ASSERT_EQ(loads.rowCount(), 2);
    r.Loads().insert();
    ASSERT_EQ(loads.rowCount(), 3);
    EXPECT_EQ(loads.currentRow(), 2);
    EXPECT_TRUE(loads.setData(loads.index(2, 0), QStringLiteral("5")));
    EXPECT_FALSE(loads.setData(loads.index(2, 1), QStringLiteral("Груз с очень длинным названием")));
    EXPECT_TRUE(loads.setData(loads.index(2, 1), QStringLiteral("Щебень")));
    EXPECT_EQ(loads.data(loads.index(2, 1)).toString(), QStringLiteral("Щебень"));
    r.Loads().first();
    ASSERT_EQ(loads.rowCount(), 3);
    EXPECT_EQ(loads.data(loads.index(2, 1)).toString(), QStringLiteral("Щебень"));
    EXPECT_EQ(loads.currentRow(), 0);
}

TEST_F(TableModelTest, LookupFieldsShowTheDictionaryText) {
    Table& wagons = r.Wagons();
    wagons.insertValues({{QStringLiteral("Wagon"), QStringLiteral("77")}, {QStringLiteral("Load"), 1}, {QStringLiteral("Station"), 0}});
    EXPECT_EQ(wagons.text(QStringLiteral("LoadL")), QStringLiteral("Прочие грузы"));
    EXPECT_EQ(wagons.text(QStringLiteral("StationL")), QStringLiteral("Прочие"));
    EXPECT_EQ(wagons.text(QStringLiteral("ClientL")), QString());
    EXPECT_EQ(r.DSouW().headerData(r.DSouW().columnCount() - 3, Qt::Horizontal).toString(), QStringLiteral("Отправитель/получатель"));
}

}  // namespace
}  // namespace zv
