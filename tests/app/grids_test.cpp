// The main window's grids and the dictionaries behind the processing window, driven by
// mouse and keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/app_fixture.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace zv::test {
namespace {

class Grids : public ::testing::Test {
  protected:
    void SetUp() override {
        TMain& main = app.start();
        main.show();
        Table& wagons = main.records().Wagons();
        for (const char* number : {"11111111", "22222222"})
            wagons.insertValues({{"Wagon", number}, {"Weight", 60000}, {"WNote", 0}, {"Load", 0}});
        app.messages.clear();
    }

    void showStaticPage() {
        QTabBar* tabs = app.main().controls().PCon1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        ASSERT_EQ(app.main().controls().PCon1->currentWidget(), app.main().controls().TS2);
    }

    QModelIndex wagonCell(const QString& number) {
        const QAbstractItemModel* grid = app.main().controls().DBG2->model();
        for (int row = 0; row < grid->rowCount(); ++row)
            if (grid->index(row, 0).data().toString() == number) return grid->index(row, 0);
        ADD_FAILURE() << "no wagon " << number.toStdString();
        return {};
    }

    AppFixture app;
};

// "Отпустить вагон" releases the wagon the operator clicked in the list, not the one the
// table happened to be on.
TEST_F(Grids, TheStaticReleaseTakesTheClickedWagon) {
    TMain& main = app.main();
    showStaticPage();
    for (const char* number : {"11111111", "22222222", "11111111"}) {
        SCOPED_TRACE(number);
        clickCell(main.controls().DBG2, wagonCell(number));
        QString released;
        ModalScript script;
        script.then([&](QDialog& d) {
            released = main.records().Wagons().value("Wagon").toString();
            press(&d, "But2");  // "Отмена"
        });
        press(&main, "But2");
        EXPECT_EQ(released.toStdString(), number);
    }
    EXPECT_EQ(main.records().Wagons().recordCount(), 2);
    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
}

// "БД Грузы" inside the processing window: a new load with a code already taken is refused
// by keyboard and by mouse, each time with one message, and both windows stay open.
TEST_F(Grids, ARefusedLoadInsideTheProcessingWindowLeavesBothWindowsWorking) {
    TMain& main = app.main();
    showStaticPage();
    bool processingOpenAfterwards = false;
    ModalScript script;
    script.then([&](QDialog& processing) {
        press(&processing, "But3");
        processingOpenAfterwards = processing.isVisible();
        press(&processing, "But2");
    });
    script.then([&](QDialog& viewer) {
        auto* grid = viewer.findChild<QAbstractItemView*>("DBG1");
        press(&viewer, "Insert");
        typeIntoCell(grid, grid->model()->index(grid->model()->rowCount() - 1, 0), "1");
        QTest::keyClick(grid, Qt::Key_PageUp);
        QTest::keyClick(grid, Qt::Key_PageUp);
        clickCell(grid, grid->model()->index(0, 1));
        EXPECT_EQ(app.messages.shown().size(), 3u);
        press(&viewer, "Cancel");
        press(&viewer, "But2");
    });
    main.records().Loads().insertValues({{"N", 5}, {"Load", "Уголь"}});
    press(&main, "But1");  // "Принять вагон"
    EXPECT_TRUE(processingOpenAfterwards);
    EXPECT_EQ(script.shown(), QStringList({"WPro", "DBView"}));
    EXPECT_EQ(app.messages.shown().size(), 3u);
    for (const Message& m : app.messages.shown()) EXPECT_EQ(m.kind, MessageKind::Error);
    EXPECT_EQ(main.records().Loads().recordCount(), 3);
    EXPECT_FALSE(main.records().Wagons().findKey("N"));
    EXPECT_EQ(main.records().Wagons().recordCount(), 2);
}

}  // namespace
}  // namespace zv::test
