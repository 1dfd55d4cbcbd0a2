#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "admin/setup_p.h"
#include "admin/shift_s.h"
#include "app/app_fixture.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;
using zv::test::unreachableControls;

// What a walk over every page of a window found, with the window and page named.
QStringList walkPages(QWidget* window) {
    QStringList faults;
    const QString name = window->objectName();
    auto* pages = window->findChild<QTabWidget*>();
    const int count = pages ? pages->count() : 1;
    for (int page = 0; page < count; ++page) {
        if (pages && !pages->isTabVisible(page)) continue;
        if (pages) pages->setCurrentIndex(page);
        for (const QString& fault : unreachableControls(window))
            faults << QString("%1, page %2: %3").arg(name).arg(page).arg(fault);
    }
    return faults;
}

class Reach : public ::testing::Test {
  protected:
    void SetUp() override {
        main = &app.start([](zv::Settings& s) {
            s.Params = zv::params::ShowGravityOffsets | zv::params::ShowDebugColumns |
                       zv::params::ShowRawDataPanel;
        });
        main->show();
        app.messages.clear();
    }
    // Opens a modal window with `open`, lets `prepare` bring more of it into view and walks
    // it; `more` are the steps of windows it opens in turn.
    QStringList walkModal(const std::function<void()>& open,
                          const zv::ModalScript::Step& prepare = {},
                          const std::vector<zv::ModalScript::Step>& more = {}) {
        QStringList faults;
        zv::ModalScript script;
        script.then([&](QDialog& d) {
            if (prepare) prepare(d);
            faults += walkPages(&d);
        });
        for (const auto& step : more) script.then(step);
        open();
        EXPECT_FALSE(script.shown().isEmpty());
        return faults;
    }

    AppFixture app;
    TMain* main = nullptr;
};

// Every visible, enabled control of every window takes a click at its centre and is reached
// by Tab.
TEST_F(Reach, EveryControlOfEveryWindowTakesClicksAndTab) {
    // A stored train and a wagon on the territory fill both lists of the main window.
    zv::test::writeTrainFile(main->settings(), 3, (app.folder() + "w401.dat").toStdString());
    main->controls().SBut11->click();
    main->Timer1Timer();
    main->records().Wagons().insertValues({{"Wagon", "777"}, {"Weight", 23000}, {"Load", 0}});
    QStringList faults = walkPages(main);
    const MainMenu& m = main->menu();
    // The calibration page asks for its code; the prompt is walked, then unlocks it.
    const auto unlock = [&faults](QDialog& prompt) {
        faults += walkPages(&prompt);
        prompt.findChild<QLineEdit*>("Password")->setText("wqpzlt");
        prompt.accept();
    };
    faults += walkModal([&] { m.Scales[0]->trigger(); }, {}, {unlock});
    faults += walkModal([&] { m.Program->trigger(); });
    main->records().Names().insertValues({{"N", 1}, {"Name", "Иванов"}, {"Pass", "Ab1"}});
    faults += walkModal([&] { m.Shift->trigger(); },  // with the code panel shown
                        [](QDialog& d) { static_cast<TShiftS&>(d).chooseOperator(1); });
    faults += walkModal([&] { m.BookReport->trigger(); });
    faults += walkModal([&] { m.View[3]->trigger(); });
    faults += walkModal([&] { m.About->trigger(); });
    faults += walkModal([&] { main->windows().SetupP->findChild<QPushButton*>("But21")->click(); });
    main->controls().PCon1->setCurrentWidget(main->controls().TS2);
    // A loaded wagon: every group of the processing window is open.
    const auto loaded = [](QDialog& d) {
        auto* box = d.findChild<QComboBox*>(
            d.findChild<QComboBox*>("LCBoxL")->isEnabled() ? "LCBoxL" : "LCBoxL1");
        box->setCurrentIndex(box->findData(1));
        emit box->activated(box->currentIndex());
    };
    for (QPushButton* button : {main->controls().But1, main->controls().But3})
        faults += walkModal([button] { button->click(); }, loaded);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

}  // namespace
