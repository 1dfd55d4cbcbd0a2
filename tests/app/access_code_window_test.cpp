// The engineer changes the installation's access code through the menu and the window, as
// typed at the keyboard; the calibration page and the about box follow the change.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "admin/setup_w.h"
#include "app/app_fixture.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;

const QString kFactory = QString::fromLatin1(TSetupW::AccessCode);
const QString kNew = QStringLiteral("Весы-2026");

// The three codes typed into their edits one after the other, then OK clicked.
void typeCodes(QDialog& window, const QString& current, const QString& fresh, const QString& repeated) {
    const std::pair<const char*, QString> edits[] = {{"OldCode", current}, {"NewCode", fresh}, {"NewCode2", repeated}};
    for (const auto& [name, code] : edits) {
        QWidget* edit = zv::test::control(&window, name);
        zv::test::click(edit);
        zv::test::typeKeys(edit, code);
    }
    zv::test::press(&window, "OKBtn");
}

// Opens the calibration page with `code` typed into the prompt; whether the page opened.
bool calibrationOpensWith(TMain& main, const QString& code) {
    bool opened = false, typed = false;
    zv::ModalScript script;
    script.then([&](QDialog& setup) {
        // The prompt opens, is answered and checked inside this wait.
        for (int wait = 0; wait < 1000 && !typed; ++wait) QTest::qWait(10);
        opened = setup.findChild<QWidget*>("TS3")->isEnabled();
    });
    script.then([&](QDialog& prompt) {
        QWidget* edit = zv::test::control(&prompt, "Password");
        zv::test::click(edit);
        zv::test::typeKeys(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
        typed = true;
    });
    zv::test::chooseMenu(main.menuBar(), {"Настройка", "Весы", "Калибровка"});
    EXPECT_EQ(script.shown(), (QStringList{"SetupW", "PassDlg"}));
    return opened;
}

QString aboutLine(TMain& main) {
    QString line;
    zv::ModalScript script;
    script.then([&](QDialog& about) { line = about.findChild<QLabel*>("AccessCode")->text(); });
    zv::test::chooseMenu(main.menuBar(), {"Справка", "О программе..."});
    return line;
}

TEST(AccessCodeWindow, TheEngineerChangesTheCodeAndOnlyTheNewOneOpensTheCalibration) {
    AppFixture app;
    TMain& main = app.start();
    EXPECT_EQ(aboutLine(main), "Код доступа: заводской - смените его");

    // A wrong current code first: refused, logged, the window stays for another try.
    QStringList afterWrong;
    bool stayed = false;
    app.messages.clear();
    zv::ModalScript script;
    script.then([&](QDialog& window) {
        typeCodes(window, "неверный", kNew, kNew);
        afterWrong = app.messages.texts();
        stayed = window.isVisible();
        typeCodes(window, kFactory, kNew, kNew);
    });
    zv::test::chooseMenu(main.menuBar(), {"Базы данных", "Сменить код доступа"});
    EXPECT_EQ(script.shown(), QStringList{"AccessCodeW"});
    EXPECT_EQ(afterWrong, QStringList{"Неверный код доступа"});
    EXPECT_TRUE(stayed);
    EXPECT_EQ(app.messages.texts(), (QStringList{"Неверный код доступа", "Код доступа изменен"}));

    zv::RecordsIntegrity& integrity = *zv::Events::installed();
    EXPECT_EQ(integrity.log().countOf(zv::event_kind::WrongAccessCode), 1);
    const std::optional<zv::Event> changed = integrity.log().lastOf(zv::event_kind::AccessCodeChanged);
    ASSERT_TRUE(changed.has_value());
    for (const QString& told : {changed->subject, changed->oldValue, changed->newValue}) {
        EXPECT_FALSE(told.contains(kNew)) << told.toStdString();
        EXPECT_FALSE(told.contains(kFactory)) << told.toStdString();
    }

    EXPECT_FALSE(calibrationOpensWith(main, kFactory));
    EXPECT_EQ(integrity.log().countOf(zv::event_kind::WrongAccessCode), 2);
    EXPECT_TRUE(calibrationOpensWith(main, kNew));
    EXPECT_EQ(aboutLine(main), "Код доступа: изменен " + QDate::currentDate().toString("dd.MM.yyyy"));

    // Deleted behind the program's back: the log knows of the change, so no code opens the
    // page, and the prompt is not even shown.
    ASSERT_TRUE(QFile::remove(integrity.accessCode().path()));
    app.messages.clear();
    zv::ModalScript locked;
    locked.then([&](QDialog&) {  // the page asks once the window stands
        for (int wait = 0; wait < 300 && app.messages.texts().isEmpty(); ++wait) QTest::qWait(10);
    });
    zv::test::chooseMenu(main.menuBar(), {"Настройка", "Весы", "Калибровка"});
    EXPECT_EQ(locked.shown(), QStringList{"SetupW"});
    ASSERT_EQ(app.messages.texts().size(), 1);
    EXPECT_TRUE(app.messages.texts().value(0).contains("удален в обход программы")) << app.messages.texts().value(0).toStdString();
}

}  // namespace
