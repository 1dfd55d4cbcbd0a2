#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "app/app_fixture.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/modal.h"

// Acceptance and release, weighed in motion and at rest, worked through the main window and
// the processing window with the mouse and the keyboard only.
namespace zv::test {
namespace {

QComboBox* box(QDialog& d, const char* name) {
    return static_cast<QComboBox*>(control(&d, name));
}

// Station, client and document of a loaded wagon.
void describeWaybill(QDialog& d) {
    choose(box(d, "LCBoxS"), "Станция 1");
    choose(box(d, "LCBoxC"), "ООО Клиент 1");
    typeInto(control(&d, "E3"), "D-123");
}

class WagonByHand : public ::testing::Test {
  protected:
    void SetUp() override {
        main = &app.start();
        main->records().Loads().insertValues({{"N", 5}, {"Load", "Уголь"}});
        main->show();
        app.messages.clear();
    }

    // A train of one wagon replayed with "Чтение"; the program weighs 60 t times
    // 2000000 / coefficient.
    void weighInMotion(int32_t coefficient) {
        Settings scale = main->settings();
        scale.ak.fill(coefficient);
        writeTrainFile(scale, 1, (app.folder() + "w401.dat").toStdString());
        main->controls().SBut11->click();
        main->Timer1Timer();
    }

    // The operator double-clicks the wagon cell of the first row and types the number.
    void typeWagonNumber(const QString& number) {
        QTableView* grid = main->controls().DBG1;
        const QModelIndex cell = grid->model()->index(0, trainListColumn(*main, "Wagon"));
        const QPoint at = grid->visualRect(cell).center();
        clickAt(grid->viewport(), at, true);
        typeKeys(QApplication::focusWidget(), number);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    Table& wagons() { return main->records().Wagons(); }
    Table& book() { return main->records().Book(); }
    QString messages() const { return app.messages.texts().join('|'); }

    AppFixture app;
    TMain* main = nullptr;
};

TEST_F(WagonByHand, InMotionAcceptedLoadedAndReleasedEmpty) {
    weighInMotion(2000000);
    typeWagonNumber("51234565");
    ModalScript script;
    script.then([](QDialog& d) {
        choose(box(d, "LCBoxL"), "Уголь");
        describeWaybill(d);
        click(control(&d, "But1"));
    });
    click(main->controls().But1);
    ASSERT_TRUE(wagons().findKey("51234565")) << messages().toStdString();
    const int first = wagons().toInt("Weight");
    EXPECT_NEAR(first, 60000, 500);
    EXPECT_EQ(wagons().toInt("Load"), 5);
    EXPECT_EQ(wagons().value("Doc").toString(), "D-123");

    weighInMotion(4000000);
    typeWagonNumber("51234565");
    script.then([](QDialog& d) {
        click(control(&d, "But6"));  // "Без груза"
        click(control(&d, "But1"));
    });
    click(main->controls().But2);
    EXPECT_TRUE(app.messages.texts().isEmpty()) << messages().toStdString();
    EXPECT_FALSE(wagons().findKey("51234565"));
    ASSERT_EQ(book().recordCount(), 1);
    book().last();
    EXPECT_EQ(book().toInt("Brut"), first);
    EXPECT_NEAR(book().toInt("Tare"), 30000, 500);
    EXPECT_EQ(book().toInt("Dir"), 0);
}

TEST_F(WagonByHand, AtRestAcceptedEmptyAndReleasedLoaded) {
    standOnTheScale(*main, 0, 0);  // the zero of the start-up
    QTabWidget* pages = main->controls().PCon1;
    QTabBar* tabs = pages->tabBar();
    clickAt(tabs, tabs->tabRect(pages->indexOf(main->controls().TS2)).center());
    ASSERT_EQ(pages->currentWidget(), main->controls().TS2);

    ModalScript script;
    script.then([this](QDialog& d) {
        typeInto(control(&d, "DBE1"), "777");
        click(control(&d, "But6"));  // "Без груза"
        standOnTheScale(*main, 12000, 11000);
        click(control(&d, "But8"));  // "Взвесить"
        click(control(&d, "But1"));
    });
    click(main->controls().But1);
    ASSERT_TRUE(wagons().findKey("777")) << messages().toStdString();
    EXPECT_EQ(wagons().toInt("Weight"), 23000);
    EXPECT_EQ(wagons().toInt("WNote"), 0);

    QTableView* list = main->controls().DBG2;
    clickAt(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
    script.then([this](QDialog& d) {
        choose(box(d, "LCBoxL1"), "Уголь");
        describeWaybill(d);
        standOnTheScale(*main, 35000, 35000);
        click(control(&d, "But8"));
        click(control(&d, "But1"));
    });
    click(main->controls().But2);
    EXPECT_TRUE(app.messages.texts().isEmpty()) << messages().toStdString();
    EXPECT_FALSE(wagons().findKey("777"));
    ASSERT_EQ(book().recordCount(), 1);
    book().last();
    EXPECT_EQ(book().toInt("Brut"), 70000);
    EXPECT_EQ(book().toInt("Tare"), 23000);
    EXPECT_EQ(book().toInt("Load"), 5);
    EXPECT_EQ(book().toInt("Dir"), 1);
    EXPECT_EQ(book().value("Doc").toString(), "D-123");
}

}  // namespace
}  // namespace zv::test
