#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QDateEdit>
#include <QStatusBar>
#include <QTest>

#include "admin/b_copy.h"
#include "admin/db_view.h"
#include "admin/pass_dlg.h"
#include "admin/setup_p.h"
#include "admin/setup_w.h"
#include "admin/shift_s.h"
#include "app/about.h"
#include "app/app_fixture.h"
#include "app/help_window.h"
#include "integrity_ui/event_log_window.h"
#include "processing/w_pro.h"
#include "reports/b_prn.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;

void copyHelpPages(const QString& programFolder) {
    QDir source(ZOLVELT_HELP_SOURCE);
    QDir().mkpath(programFolder + "help");
    for (const QString& page : source.entryList(QDir::Files))
        QFile::copy(source.filePath(page), programFolder + "help/" + page);
}

void pressF1(QWidget* widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

struct HelpCase {
    const char* window;
    int page;  // page of a settings window, -1 for none
    const char* topic;
};

QWidget* windowNamed(TMain& main, const std::string& name) {
    const AppWindows& w = main.windows();
    if (name == "main") return &main;
    if (name == "WPro") return w.WPro;
    if (name == "DBView") return w.DBView;
    if (name == "ShiftS") return w.ShiftS;
    if (name == "BPrn") return w.BPrn;
    if (name == "BCopy") return w.BCopy;
    if (name == "SetupP") return w.SetupP;
    if (name == "SetupW") return w.SetupW;
    return w.About;
}

TEST(Help, F1OpensTheTopicOfTheWindowItIsPressedIn) {
    AppFixture app;
    copyHelpPages(app.folder());
    TMain& main = app.create();
    const HelpCase cases[] = {
        {"main", -1, "Main.htm"},
        {"WPro", -1, "Processing.htm"},
        {"DBView", -1, "View.htm"},
        {"ShiftS", -1, "Shift.htm"},
        {"BPrn", -1, "Reports.htm"},
        {"BCopy", -1, "Base.htm"},
        {"SetupP", TSetupP::Databases, "Base.htm"},
        {"SetupP", TSetupP::Common, "Parameters.htm"},
        {"SetupW", TSetupW::Calibration, "Calibration.htm"},
        {"SetupW", TSetupW::Parameters, "Tuning.htm"},
        {"About", -1, "Help.htm"},
    };
    for (const HelpCase& c : cases) {
        SCOPED_TRACE(std::string(c.window) + " " + c.topic);
        QWidget* window = windowNamed(main, c.window);
        if (window == main.windows().SetupP) main.windows().SetupP->setCurrentPage(c.page);
        if (window == main.windows().SetupW) main.windows().SetupW->setCurrentPage(c.page);
        main.helpWindow()->hide();
        // Pressed in a control of the window, not the window itself.
        QList<QWidget*> controls = window->findChildren<QWidget*>();
        pressF1(controls.isEmpty() ? window : controls.first());
        EXPECT_TRUE(main.helpWindow()->isVisible());
        EXPECT_EQ(main.helpWindow()->currentTopic(), c.topic);
    }
}

TEST(Help, MenuOpensTheIndexAndF1InTheAccessCodePromptDoesNothing) {
    AppFixture app;
    copyHelpPages(app.folder());
    TMain& main = app.create();
    pressF1(main.windows().PassDlg);
    EXPECT_FALSE(main.helpWindow()->isVisible());
    main.menu().HelpContents->trigger();
    EXPECT_TRUE(main.helpWindow()->isVisible());
    EXPECT_EQ(main.helpWindow()->currentTopic(), "index.htm");
}

TEST(Help, F1InAModalWindowShowsTheHelpBesideIt) {
    AppFixture app;
    copyHelpPages(app.folder());
    TMain& main = app.create();
    zv::ModalScript script;
    bool usable = false;
    script.then([&](QDialog& about) {
        pressF1(&about);
        // A modal window blocks every window that is not its own.
        usable = main.helpWindow()->isVisible() && main.helpWindow()->parentWidget() == &about;
    });
    main.menu().About->trigger();
    EXPECT_TRUE(usable);
    EXPECT_EQ(main.helpWindow()->currentTopic(), "Help.htm");
}

TEST(Help, TheRecordsPageOpensFromItsMenuItemAndFromTheEventLog) {
    AppFixture app;
    copyHelpPages(app.folder());
    TMain& main = app.create();
    main.show();
    zv::test::chooseMenu(main.menuBar(), {"&Справка", "Журнал событий и проверка записей"});
    EXPECT_TRUE(main.helpWindow()->isVisible());
    EXPECT_EQ(main.helpWindow()->currentTopic(), "Records.htm");
    main.helpWindow()->hide();

    QString topic;
    zv::ModalScript script;
    script.then([&](QDialog& log) {
        auto* from = log.findChild<QDateEdit*>("DateFrom");
        QTest::mouseClick(from, Qt::LeftButton, {}, QPoint(5, from->height() / 2));
        QTest::keyClick(from, Qt::Key_F1);
        topic = main.helpWindow()->isVisible() ? main.helpWindow()->currentTopic() : QString();
        main.helpWindow()->hide();
        log.reject();
    });
    zv::test::chooseMenu(main.menuBar(), {"Базы данных", "Журнал событий"});
    EXPECT_EQ(script.shown(), QStringList{"EventLog"});
    EXPECT_EQ(topic, "Records.htm");
}

TEST(Help, EveryTopicPageExistsAndTheIndexLinksIt) {
    QFile index(QString(ZOLVELT_HELP_SOURCE) + "/index.htm");
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(index.readAll());
    for (const char* topic :
         {"Main.htm", "Processing.htm", "View.htm", "Shift.htm", "Reports.htm", "Base.htm",
          "Parameters.htm", "Calibration.htm", "Tuning.htm", "Help.htm", "Records.htm"}) {
        EXPECT_TRUE(QFile::exists(QString(ZOLVELT_HELP_SOURCE) + "/" + topic)) << topic;
        EXPECT_TRUE(text.contains(QString("href=\"") + topic + "\"")) << topic;
    }
}

TEST(Help, MissingPageSaysSoAndShowsNoEmptyWindow) {
    AppFixture app;  // no help folder
    TMain& main = app.create();
    pressF1(&main);
    EXPECT_FALSE(main.helpWindow()->isVisible());
    ASSERT_EQ(app.messages.texts().size(), 1);
    EXPECT_EQ(app.messages.texts().front(),
              "Не найдена страница справки " + app.folder() + "help/Main.htm");
}

}  // namespace
