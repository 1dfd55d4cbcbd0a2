#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "admin/admin_fixture.h"
#include "admin/settings_window_test.h"
#include "admin/setup_p.h"
#include "admin/setup_p_window_test.h"
#include "admin/setup_w.h"
#include "support/operator_input.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

// Both settings windows worked with the mouse and the keyboard: typed values, the calibration
// unlocked by typing its code, "Сохранить" and "Закрыть".
namespace zv::test {
namespace {

// Clicks the tab of `page` in the window's page control.
void clickPage(QWidget& window, int page) {
    QTabBar* tabs = window.findChild<QTabWidget*>()->tabBar();
    clickAt(tabs, tabs->tabRect(page).center());
}

// The operator types into an edit and leaves it with Tab.
void typeAndTab(QWidget* edit, const QString& text) {
    typeInto(edit, text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

// Types the code into the prompt and presses Enter.
ModalScript::Step typeCode(const QString& code) {
    return [code](QDialog& prompt) {
        typeInto(prompt.findChild<QWidget*>("Password"), code);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
}

class SetupWByHand : public SettingsWindowTest<TSetupW> {
  protected:
    void SetUp() override {
        fx.settings().tflt = 10;  // a commissioned scale: saving it asks nothing
        window.setHost(&fx);
        window.UpdateSetupW(fx.settings());
        window.setCurrentPage(TSetupW::Parameters);
        window.show();
    }
};

TEST_F(SetupWByHand, TheCalibrationOpensWithTheTypedCodeAndIsSavedWithTheParameters) {
    typeAndTab(get("LIE21"), "150000");  // Wmax
    ModalScript script;
    script.then(typeCode("wqpzl")).then(typeCode("wqpzlt"));
    clickPage(window, TSetupW::Calibration);
    EXPECT_FALSE(get<QWidget>("TS3")->isEnabled()) << "a wrong code leaves it locked";
    clickPage(window, TSetupW::Parameters);
    clickPage(window, TSetupW::Calibration);
    EXPECT_EQ(script.shown(), (QStringList{"PassDlg", "PassDlg"}));
    ASSERT_TRUE(get<QWidget>("TS3")->isEnabled());

    typeAndTab(get("LIEk0"), "1234567");
    click(get<QPushButton>("But1"));  // "Сохранить"
    const Settings saved = fx.readBack();
    EXPECT_EQ(saved.Wmax, 150000);
    EXPECT_EQ(saved.ak[0], 1234567);
    EXPECT_TRUE(fx.messages.texts().isEmpty());
}

// The weighing method is chosen from its list on the parameters page and saved with them;
// the window shows what the settings hold when opened again.
TEST_F(SetupWByHand, TheWeighingMethodIsChosenFromItsListAndSaved) {
    auto* method = get<QComboBox>("CBox23");
    EXPECT_EQ(method->currentText(), "по окнам тележек");
    choose(method, "по нагрузкам осей");
    EXPECT_TRUE(window.unsaved());
    click(get<QPushButton>("But1"));  // "Сохранить"
    EXPECT_EQ(fx.settings().WeighMethod, 1);
    EXPECT_EQ(fx.readBack().WeighMethod, 1);
    EXPECT_FALSE(window.unsaved());

    choose(method, "по окнам тележек");
    fx.messages.answerYes();
    click(get<QPushButton>("But2"));  // "Закрыть" without saving
    EXPECT_EQ(fx.messages.texts(), QStringList{"Выйти, не сохраняя сделанные изменения?"});
    EXPECT_EQ(method->currentText(), "по нагрузкам осей") << "refilled from the settings";
    EXPECT_EQ(fx.readBack().WeighMethod, 1);
}

class SetupPByHand : public SetupPWindowTest {
  protected:
    void SetUp() override { openOn(TSetupP::Common); }
};

TEST_F(SetupPByHand, TypedValuesAreSavedAndClosingUnsavedAsksFirst) {
    typeAndTab(get("LIE1"), "25");  // Vmax
    typeAndTab(get("LIE2"), "12");  // tTrEnd, seconds
    click(get<QPushButton>("But1"));
    EXPECT_EQ(fx.readBack().Vmax, 25);
    EXPECT_EQ(fx.readBack().tTrEnd, 12000);

    typeAndTab(get<QWidget>("LE1"), "Завод");
    fx.messages.answerNo();
    click(get<QPushButton>("But2"));  // "Закрыть"
    EXPECT_TRUE(window.isVisible());
    fx.messages.answerYes();
    click(get<QPushButton>("But2"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fx.messages.texts(), (QStringList{"Выйти, не сохраняя сделанные изменения?",
                                                "Выйти, не сохраняя сделанные изменения?"}));
    EXPECT_NE(fx.readBack().User, "Завод");
}

}  // namespace
}  // namespace zv::test
