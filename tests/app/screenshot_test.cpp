// Pictures of the main window for a person to look at, not part of the suite: run with
//   ZOLVELT_SHOTS=/some/folder app_tests --gtest_also_run_disabled_tests --gtest_filter='*Shot*'
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolButton>

#include "app/app_fixture.h"

namespace {

void save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    widget->grab().save(qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/" + name);
}

TEST(Shots, DISABLED_MainWindowWithAStoredTrainAndTheMenus) {
    zv::test::AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Params = zv::params::ShowGravityOffsets | zv::params::ShowRawDataPanel |
                   zv::params::ShowDebugColumns;
    });
    main.show();
    zv::test::writeTrainFile(main.settings(), 5, (app.folder() + "w401.dat").toStdString());
    main.controls().SBut11->click();
    main.Timer1Timer();
    save(&main, "main_stored_train.png");

    const auto samples = zv::test::trainSamples(main.settings(), 2);
    for (std::size_t i = 0; i < samples.size() * 2 / 5; ++i)
        main.engine().feed(samples[i], app.clock);
    save(&main, "main_train_passing.png");

    for (QAction* action : main.menuBar()->actions()) {
        QMenu* menu = action->menu();
        menu->popup(main.mapToGlobal(QPoint(0, 0)));
        save(menu, "menu_" + QString::number(main.menuBar()->actions().indexOf(action)) + ".png");
        menu->hide();
    }
}

}  // namespace
