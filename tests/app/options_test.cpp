#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTableView>

#include "admin/folder_tree.h"
#include "admin/setup_w.h"
#include "app/app_fixture.h"
#include "processing/w_pro.h"
#include "processing/w_pro_actions.h"
#include "records/table.h"
#include "reports/report_layouts.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace zv::test {
namespace {

QStringList reportHeadings(TMain& main) {
    const ReportLayouts& layouts = main.layouts();
    return {layouts.bookReport().labelText("QRLb1"), layouts.trainsReport().labelText("QRL1"),
            layouts.waybill().labelText("QRLn1")};
}

bool shown(QWidget* window, const char* name) {
    const auto* widget = window->findChild<QWidget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget && !widget->isHidden();
}

// What the settings windows save reaches the report headings and the processing window at
// once, as the settings file does at start-up.
TEST(OptionsEffects, SavedSettingsReachTheReportsAndTheProcessingWindow) {
    AppFixture app;
    TMain& main = app.start([&](Settings& s) {
        s.User = "Завод";
        s.ScName = "Весы 1";
        s.tflt = 10;  // commissioned: saving the scale settings asks nothing about them
    });
    TWPro* processing = main.windows().WPro;
    EXPECT_EQ(reportHeadings(main), (QStringList{"Завод,   Весы 1", "Завод,   Весы 1", "Завод"}));
    EXPECT_FALSE(shown(processing, "PBase"));
    EXPECT_FALSE(shown(processing, "P4s"));
    EXPECT_FALSE(shown(processing, "LaT"));

    ModalScript script;
    script.then([](QDialog& d) {
        type(d, "LE1", "Склад");
        type(d, "LE2", "Весы 2");
        find<QListWidget>(d, "CLB1")->item(1)->setCheckState(Qt::Checked);
        click(d, "But1");  // "Сохранить"
    });
    main.menu().Program->trigger();
    EXPECT_EQ(reportHeadings(main), (QStringList{"Склад,   Весы 2", "Склад,   Весы 2", "Склад"}));
    EXPECT_TRUE(shown(processing, "PBase"));
    EXPECT_TRUE(shown(processing, "P4s"));

    // One platform, saved from the scale settings; then the debugging check box of the
    // unlocked calibration page.
    bool debugButtonShown = false;
    script.then([&](QDialog& d) {
        auto* platforms = find<QComboBox>(d, "CBox21");
        platforms->setCurrentIndex(0);
        emit platforms->activated(0);
        click(d, "But1");
        static_cast<TSetupW&>(d).setCurrentPage(TSetupW::Calibration);
        find<QCheckBox>(d, "ChBox31")->click();
        debugButtonShown = shown(processing, "ButSim");
        find<QCheckBox>(d, "ChBox31")->click();
    });
    script.then([](QDialog& prompt) {
        find<QLineEdit>(prompt, "Password")->setText("wqpzlt");
        prompt.accept();
    });
    main.menu().Scales[1]->trigger();
    EXPECT_TRUE(shown(processing, "LaT"));
    EXPECT_TRUE(debugButtonShown);
    EXPECT_FALSE(shown(processing, "ButSim"));
}

// The rows of train n, weighed now.
void addTrain(TMain& main, int n, int rows) {
    Table& trains = main.records().Trains();
    for (int i = 0; i < rows; ++i)
        trains.insertValues({{"Train", n},
                             {"Time", QDateTime::currentDateTime().addSecs(n * 60 + i)},
                             {"Weight", 60000},
                             {"Direc", 0},
                             {"Note", 1}});
    trains.flush();
}

void chooseTablesFolder(TMain& main, const QString& folder) {
    ModalScript script;
    script.then([&](QDialog& d) {
        ASSERT_TRUE(find<FolderTree>(d, "STV1")->choose(folder));
        click(d, "But1");
    });
    main.menu().Location->trigger();
}

// Another folder of tables shows its own latest train in the selector and the list.
TEST(OptionsEffects, ReopenedTablesShowTheirLatestTrain) {
    AppFixture app;
    TMain& main = app.start();
    addTrain(main, 2, 2);
    const QString working = app.folder() + "DB";
    const QString other = app.folder() + "other";
    QDir().mkpath(other);
    app.messages.answerYes();  // a new set of tables there
    chooseTablesFolder(main, other);
    EXPECT_EQ(main.settings().Path, (other + "/").toStdString());
    addTrain(main, 4, 1);
    addTrain(main, 5, 3);

    const struct {
        QString folder;
        int train, rows;
    } cases[] = {{working, 2, 2}, {other, 5, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        chooseTablesFolder(main, c.folder);
        EXPECT_EQ(main.LIEtr()->Val(), c.train);
        EXPECT_EQ(main.records().Trains().filter(), QString("Train=%1").arg(c.train));
        EXPECT_EQ(main.controls().DBG1->model()->rowCount(), c.rows);
    }
}

}  // namespace
}  // namespace zv::test
