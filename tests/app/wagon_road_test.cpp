#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QTableView>
#include <QToolButton>

#include "app/app_fixture.h"
#include "processing/release_row.h"
#include "processing/w_pro_actions.h"
#include "records/table.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace zv::test {
namespace {

// One four-axle wagon of 60 t weighed in motion: a simulated train replayed through
// "Чтение", with the wagon number then typed into the list. The simulator writes the codes
// with the coefficient it is given: twice the program's makes the program weigh half the mass.
struct WeighedWagon {
    int train = 0;
    int weight = 0;
    QVariant time;
};
WeighedWagon weighInMotion(AppFixture& app, int32_t coefficient, const QString& number) {
    TMain& main = app.main();
    Settings scale = main.settings();
    scale.ak.fill(coefficient);
    writeTrainFile(scale, 1, (app.folder() + "w401.dat").toStdString());
    main.controls().SBut11->click();
    main.Timer1Timer();
    Table& trains = main.records().Trains();
    trains.first();
    const WeighedWagon wagon{main.LIEtr()->Val(), trains.toInt("Weight"), trains.value("Time")};
    typeWagonNumber(main, number);
    return wagon;
}

// "Принять вагон" on the first wagon of the list: loaded with load 5 and its documents.
void acceptLoaded(TMain& main, ModalScript& script) {
    script.then([](QDialog& d) {
        EXPECT_EQ(find<QComboBox>(d, "CBox1")->currentIndex(), 0);
        describeLoad(d, "LCBoxL", 5);
        click(d, "But1");
    });
    main.controls().But1->click();
}

// The program with the replay panel, the load 5 "Уголь" in the dictionary.
class WagonRoad : public ::testing::Test {
  protected:
    void SetUp() override {
        app.start([&](Settings& s) { s.Params = params::ShowRawDataPanel; })
            .records()
            .Loads()
            .insertValues({{"N", 5}, {"Load", "Уголь"}});
    }

    AppFixture app;
};

// A wagon comes loaded in one train and is accepted with its documents; it leaves empty
// in the next train, released by another operator, into the weighing book.
TEST_F(WagonRoad, AcceptedFromOneTrainAndReleasedFromTheNextThroughTheMainWindow) {
    TMain& main = app.main();
    main.records().Names().insertValues({{"N", 2}, {"Name", "Петров"}});
    app.messages.clear();
    Table& trains = main.records().Trains();
    Table& wagons = main.records().Wagons();

    const WeighedWagon in = weighInMotion(app, 2000000, "51234565");
    ASSERT_NEAR(in.weight, 60000, 500);
    ModalScript script;
    acceptLoaded(main, script);

    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
    ASSERT_TRUE(wagons.findKey("51234565"));
    EXPECT_EQ(wagons.toInt("Weight"), in.weight);
    EXPECT_EQ(wagons.value("Time"), in.time);
    EXPECT_EQ(wagons.toInt("Train"), in.train);
    EXPECT_EQ(wagons.toInt("WNote"), 1);
    EXPECT_EQ(wagons.toInt("BsNote"), 4);
    EXPECT_EQ(wagons.toInt("Name"), 0);
    EXPECT_EQ(wagons.toInt("Load"), 5);
    EXPECT_EQ(wagons.toInt("Station"), 1);
    EXPECT_EQ(wagons.toInt("Client"), 1);
    EXPECT_EQ(wagons.value("Doc").toString(), "D-123");
    trains.first();
    EXPECT_EQ(trains.toInt("Note"), 0);

    script.then([](QDialog& d) { chooseOperator(d, 2); });
    main.menu().Shift->trigger();
    const WeighedWagon out = weighInMotion(app, 4000000, "51234565");
    ASSERT_NEAR(out.weight, 30000, 500);
    script.then([](QDialog& d) {
        EXPECT_EQ(find<QComboBox>(d, "CBox1")->currentIndex(), 1);
        click(d, "But6");  // "Без груза"
        click(d, "But1");
    });
    main.controls().But2->click();

    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
    EXPECT_FALSE(wagons.findKey("51234565"));
    Table& book = main.records().Book();
    ASSERT_EQ(book.recordCount(), 1);
    book.last();
    EXPECT_EQ(book.value("Wagon").toString(), "51234565");
    expectReleaseRow(book, {.brut = in.weight,
                            .tare = out.weight,
                            .load = 5,
                            .dir = 0,
                            .name1 = 0,
                            .name2 = 2,
                            .train1 = in.train,
                            .train2 = out.train});
    EXPECT_EQ(book.value("Time1"), in.time);
    EXPECT_EQ(book.value("Time2"), out.time);
    EXPECT_NE(in.train, out.train);
    trains.first();
    EXPECT_EQ(trains.toInt("Note"), 0);
}

// The list of wagons on the territory shows an accepted wagon in its columns, with the texts
// of the method and the names of the load, station and operator.
TEST_F(WagonRoad, TheWagonsOnTheTerritoryListShowsTheAcceptedWagon) {
    TMain& main = app.main();
    const WeighedWagon in = weighInMotion(app, 2000000, "51234565");
    ModalScript script;
    acceptLoaded(main, script);

    const QAbstractItemModel* grid = main.controls().DBG2->model();
    ASSERT_EQ(grid->rowCount(), 1);
    QStringList headings, cells;
    for (int col = 0; col < grid->columnCount(); ++col) {
        headings << grid->headerData(col, Qt::Horizontal).toString();
        cells << grid->index(0, col).data().toString();
    }
    EXPECT_EQ(headings, QStringList({"Вагон", "Дата, время", "Масса", "Метод", "Груз", "Станция",
                                     "Документ", "Примечание", "Принял"}));
    const QString time = in.time.toDateTime().toString("dd.MM.yyyy  hh:mm");
    EXPECT_EQ(cells, QStringList({"51234565", time, QString::number(in.weight), "Динамика", "Уголь",
                                  "Станция 1", "D-123", "", "Оператор"}));
    EXPECT_FALSE(grid->flags(grid->index(0, 0)) & Qt::ItemIsEditable);
}

}  // namespace
}  // namespace zv::test
