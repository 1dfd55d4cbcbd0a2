#include "admin/setup_w.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "admin/admin_fixture.h"
#include "admin/settings_window_test.h"
#include "link/pty_pair.h"
#include "settings/calibration_codec.h"
#include "settings/settings_file.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace {

using zv::test::SettingsWindowTest;
using zv::test::typeAndLeave;

zv::ModalScript::Step answerCode(const QString& code, bool confirm = true) {
    return [code, confirm](QDialog& prompt) {
        prompt.findChild<QLineEdit*>("Password")->setText(code);
        confirm ? prompt.accept() : prompt.reject();
    };
}

void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class SetupWTest : public SettingsWindowTest<TSetupW> {
protected:
    void SetUp() override {
        // A commissioned scale: saving it asks nothing about its weighing windows.
        fx.settings().tflt = 10;
        window.setHost(&fx);
        window.UpdateSetupW(fx.settings());
    }
    // Shows the window on a page; the calibration page asks for the code at once.
    void open(int page) {
        window.setCurrentPage(page);
        window.show();
        QCoreApplication::processEvents();
    }
    void openUnlocked(zv::ModalScript& script) {
        script.then(answerCode("wqpzlt"));
        open(TSetupW::Calibration);
        ASSERT_TRUE(get<QWidget>("TS3")->isEnabled());
    }
    void click(const char* button) { get<QPushButton>(button)->click(); }
    void setInputs(int nadcIndex) { choose(get<QComboBox>("CBox22"), nadcIndex); }
};

TEST_F(SetupWTest, CalibrationPageOpensOnlyWithTheExactCodeAndAsksAtEveryDisplay) {
    struct Case {
        QString code;
        bool confirm;
        bool unlocked;
    };
    const Case cases[] = {{"wqpzlt", true, true},
                          {"WQPZLT", true, false},
                          {"wqpzl", true, false},
                          {"wqpzlt", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code.toStdString() + (c.confirm ? " OK" : " Cancel"));
        zv::ModalScript script;
        script.then(answerCode(c.code, c.confirm));
        open(TSetupW::Calibration);
        EXPECT_EQ(script.shown(), QStringList{"PassDlg"});
        EXPECT_EQ(window.currentPage(), TSetupW::Calibration);
        EXPECT_EQ(get<QWidget>("TS3")->isEnabled(), c.unlocked);
        EXPECT_EQ(window.calibrationKeys(), c.unlocked ? zv::CalibrationKeys::Write
                                                       : zv::CalibrationKeys::Keep);
        window.hide();
    }

    zv::ModalScript script;
    script.then(answerCode("wqpzlt")).then(answerCode("WQPZLT"));
    open(TSetupW::Calibration);
    window.setCurrentPage(TSetupW::Parameters);
    EXPECT_EQ(window.calibrationKeys(), zv::CalibrationKeys::Keep);
    window.setCurrentPage(TSetupW::Calibration);
    EXPECT_EQ(script.shown(), (QStringList{"PassDlg", "PassDlg"}));
    EXPECT_FALSE(get<QWidget>("TS3")->isEnabled());
}

TEST_F(SetupWTest, CalibrationKeysAreRewrittenOnlyFromTheUnlockedCalibrationPage) {
    zv::Settings& s = fx.settings();
    for (int i = 0; i < 8; ++i) {
        s.a0[i] = 1000 + i;
        s.ak[i] = 1000000 + 1000 * i;
    }
    s.Nadc = 2;
    zv::SettingsEffects quiet;
    ASSERT_TRUE(zv::saveIni(fx.programFolder().toStdString(), ".ini", s,
                            zv::CalibrationKeys::Write, quiet));
    const std::vector<std::string> before = fx.calibrationLines();
    ASSERT_EQ(before.size(), 18u);
    window.UpdateSetupW(s);

    open(TSetupW::Parameters);
    typeAndLeave(get("LIEa3"), "4321");
    typeAndLeave(get("LIE21"), "150000");
    click("But1");
    EXPECT_EQ(fx.calibrationLines(), before);
    EXPECT_EQ(fx.readBack().Wmax, 150000);
    EXPECT_EQ(s.a0[3], 4321);  // taken into the settings all the same
    EXPECT_FALSE(window.unsaved());
    window.hide();

    zv::ModalScript script;
    openUnlocked(script);
    typeAndLeave(get("LIEk6"), "1234567");
    click("But1");
    const std::vector<std::string> after = fx.calibrationLines();
    ASSERT_EQ(after.size(), 18u);
    EXPECT_NE(after, before);
    const zv::Settings restarted = fx.readBack();
    EXPECT_EQ(restarted.a0, s.a0);
    EXPECT_EQ(restarted.ak, s.ak);
    EXPECT_EQ(restarted.a0[3], 4321);
    EXPECT_EQ(restarted.ak[6], 1234567);
    EXPECT_TRUE(fx.messages.texts().isEmpty()) << fx.messages.texts().join("|").toStdString();
}

TEST_F(SetupWTest, OneInputPerPlatformCalibratesEachInputOnItsOwn) {
    setInputs(0);
    choose(get<QComboBox>("CBox21"), 1);
    auto* type = get<QComboBox>("CBox30");
    EXPECT_EQ(type->currentText(), "Независимая калибровка каждого входа");
    EXPECT_FALSE(type->isEnabled());
    EXPECT_EQ(get<QComboBox>("CBox31")->count(), 2);  // the platforms
    EXPECT_TRUE(get<QPushButton>("But33")->isHidden());
    EXPECT_EQ(get<QLabel>("LaStep3")->text(), "3. Установите груз");

    zv::ModalScript script;
    openUnlocked(script);
    EXPECT_TRUE(get<QPushButton>("But31")->isVisible());
    EXPECT_EQ(get("LIEw")->text(), "1");
    get("LIEa1")->setVal(777);
    const int32_t zero5 = get("LIEa4")->Val();
    fx.settle({1000, 1500, 0, 0, 2000, 0, 0, 0});
    click("But31");
    EXPECT_EQ(get("LIEa0")->Val(), 1000);
    EXPECT_EQ(get("LIEa1")->Val(), 777);
    EXPECT_EQ(get("LIEa4")->Val(), zero5);

    typeAndLeave(get("LIEw"), "5000");
    fx.settle({6000, 1500, 0, 0, 2000, 0, 0, 0});
    click("But32");
    EXPECT_EQ(get("LIEk0")->Val(), 1000000);
    EXPECT_FALSE(window.unsaved()) << "a calibration step alone does not mark the window";

    // The same input again with the code of its zero: the step stops with the divisor named.
    fx.settle({1000, 0, 0, 0, 0, 0, 0, 0});
    click("But32");
    ASSERT_EQ(fx.messages.shown().size(), 1u);
    EXPECT_EQ(fx.messages.shown()[0].kind, zv::MessageKind::Error);
    EXPECT_EQ(fx.messages.texts()[0], "Деление на ноль: C - A = 0");
    EXPECT_EQ(get("LIEk0")->Val(), 1000000);
}

// With the link lost the static readings are the last ones before the loss: no calibration
// step takes them, each says why; with the link back the step works.
TEST_F(SetupWTest, CalibrationStepsWaitForTheLink) {
    setInputs(0);
    zv::ModalScript script;
    openUnlocked(script);
    fx.settle({1000, 1500, 0, 0, 2000, 0, 0, 0});
    get("LIEa0")->setVal(5);
    fx.lost = true;
    for (const char* step : {"But31", "But32"}) click(step);
    EXPECT_EQ(fx.messages.texts(), QStringList(2, "Нет связи с весами: калибровка невозможна"));
    EXPECT_EQ(get("LIEa0")->Val(), 5);
    fx.lost = false;
    click("But31");
    EXPECT_EQ(get("LIEa0")->Val(), 1000);
}

TEST_F(SetupWTest, PairRatioCalibrationAndSavingTurnTheRatiosIntoCoefficients) {
    setInputs(1);
    EXPECT_EQ(get<QComboBox>("CBox30")->currentIndex(), 1);
    EXPECT_EQ(get<QLabel>("LaK")->text(), " K.пр/K.лев");
    zv::ModalScript script;
    openUnlocked(script);
    typeAndLeave(get("LIEw"), "4000");
    fx.settle({1000, 0, 1000, 0, 0, 0, 0, 0});
    click("But31");
    fx.settle({4000, 0, 2000, 0, 0, 0, 0, 0});
    click("But32");
    EXPECT_EQ(window.CalCodes1()[0], 4000);
    fx.settle({2000, 0, 4000, 0, 0, 0, 0, 0});
    click("But33");
    EXPECT_EQ(get("LIEk0")->Val(), 1000000);
    EXPECT_EQ(get("LIEk2")->Val(), 1000000);

    typeAndLeave(get("LIEk1"), "1000000");
    typeAndLeave(get("LIEk3"), "1500000");
    click("But1");
    const zv::Settings& s = fx.settings();
    EXPECT_EQ(s.ak[0], 1000000);
    EXPECT_EQ(s.ak[1], s.ak[0]);
    EXPECT_EQ(s.ak[3], 1500000);
    EXPECT_EQ(s.a0[0], 1000);
    EXPECT_EQ(fx.readBack().ak, s.ak);
}

TEST_F(SetupWTest, ARatioBeyondTheCoefficientRangeIsSavedAsTheLargestCoefficient) {
    setInputs(1);
    zv::ModalScript script;
    openUnlocked(script);
    typeAndLeave(get("LIEk2"), "5000000");
    typeAndLeave(get("LIEk3"), "10000000");
    click("But1");
    EXPECT_TRUE(fx.messages.texts().isEmpty()) << fx.messages.texts().join("|").toStdString();
    EXPECT_EQ(fx.settings().ak[3], zv::MaxCoefficient);
    EXPECT_EQ(fx.readBack().ak[3], zv::MaxCoefficient);
}

TEST_F(SetupWTest, FourInputsStartTheCalibrationPageWithoutAType) {
    setInputs(2);
    choose(get<QComboBox>("CBox30"), 2);
    zv::ModalScript script;
    openUnlocked(script);
    EXPECT_EQ(get<QComboBox>("CBox30")->currentIndex(), 0);
    EXPECT_TRUE(get<QWidget>("Panel31")->isHidden());
}

TEST_F(SetupWTest, LeavingPairRatiosRefillsTheOddEditsWithTheSavedCoefficients) {
    fx.settings().Nadc = 2;
    fx.settings().ak = {1000000, 1500000, 1000000, 800000, 1000000, 1000000, 1000000, 1000000};
    window.UpdateSetupW(fx.settings());
    auto* type = get<QComboBox>("CBox30");
    EXPECT_TRUE(type->isEnabled());
    choose(type, 1);
    EXPECT_EQ(get("LIEk1")->Val(), 1500000);  // ratio 1.5
    EXPECT_EQ(get("LIEk3")->Val(), 800000);
    typeAndLeave(get("LIEk1"), "2000000");
    choose(type, 3);
    EXPECT_EQ(get("LIEk1")->Val(), 1500000);
    EXPECT_EQ(get<QLabel>("LaK")->text(), "Коэффиц.");
    EXPECT_EQ(get<QComboBox>("CBox31")->count(), 8);  // inputs of both platforms
    EXPECT_EQ(get<QLabel>("LaStep1")->text(), "1. Выберите датчик");
    choose(type, 0);
    EXPECT_TRUE(get<QWidget>("Panel31")->isHidden());
}

TEST_F(SetupWTest, InputRowsFollowThePlatformsAndInputsPresent) {
    struct Case {
        int npl, nadc;
        std::array<bool, 8> rows;
    };
    const Case cases[] = {
        {0, 0, {1, 0, 0, 0, 0, 0, 0, 0}}, {1, 0, {1, 0, 0, 0, 1, 0, 0, 0}},
        {1, 1, {1, 0, 1, 0, 1, 0, 1, 0}}, {0, 2, {1, 1, 1, 1, 0, 0, 0, 0}},
        {1, 2, {1, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.npl << "/" << c.nadc);
        choose(get<QComboBox>("CBox21"), c.npl);
        setInputs(c.nadc);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(get(QString("LIEa%1").arg(i).toUtf8())->parentWidget()->isHidden(), !c.rows[i])
                << i;
        EXPECT_TRUE(window.unsaved());
    }
}

TEST_F(SetupWTest, EditsShowSettingsWithinTheirRangesAndCutOffsAboveHalfTheRateAreRefused) {
    zv::Settings& s = fx.settings();
    s.Wmax = 999999;
    s.s1 = -500;
    s.Dis = 0;
    window.UpdateSetupW(s);
    EXPECT_EQ(get("LIE21")->Val(), 200000);
    EXPECT_EQ(get("LIE222")->Val(), -100);
    EXPECT_EQ(get("LIE23")->Val(), 5);  // a step is never 0

    open(TSetupW::Parameters);
    typeAndLeave(get("LIE210"), "20");
    typeAndLeave(get("LIE211_"), "10");
    click("But1");
    EXPECT_EQ(fx.messages.texts(),
              QStringList{"Частота среза фильтра должна быть меньше половины частоты "
                          "преобразования: меньше 10 Гц"});
    EXPECT_EQ(s.Fadc, 50);
    EXPECT_FALSE(QFile::exists(fx.iniPath()));
    EXPECT_TRUE(window.unsaved());
    typeAndLeave(get("LIE211_"), "9");
    typeAndLeave(get("LIE211"), "9");
    fx.messages.answerYes();  // at 20 Hz a six-axle wagon's window is too short
    click("But1");
    EXPECT_EQ(s.Fadc, 20);
    EXPECT_EQ(s.Dis, 5);
    EXPECT_EQ(fx.readBack().Fflt_, 9);
}

TEST_F(SetupWTest, ClosingWithUnsavedChangesAsksAndNoKeepsTheEdits) {
    open(TSetupW::Parameters);
    typeAndLeave(get("LIE21"), "150000");
    ASSERT_TRUE(window.unsaved());
    fx.messages.answerNo();
    window.reject();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(get("LIE21")->Val(), 150000);
    fx.messages.answerYes();
    window.reject();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fx.messages.texts(),
              QStringList(2, "Выйти, не сохраняя сделанные изменения?"));
    EXPECT_EQ(get("LIE21")->Val(), 200000);
    EXPECT_EQ(fx.settings().Wmax, 200000);

    // Leaving an edit without changing its value is no change.
    open(TSetupW::Parameters);
    typeAndLeave(get("LIE21"), "200000");
    window.reject();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fx.messages.texts().size(), 2);
}

TEST_F(SetupWTest, ConnectionActsOnTheLinkAtOnce) {
    zv::test::PtyPair pty;
    fx.link().setPortName(QString::fromStdString(pty.slaveName()));
    open(TSetupW::Connection);
    auto* port = get<QComboBox>("CCBox1");
    auto* connect = get<QCheckBox>("ChBox11");
    EXPECT_EQ(port->currentText(), QString::fromStdString(pty.slaveName()));
    choose(get<QComboBox>("CCBox2"), get<QComboBox>("CCBox2")->findText("9600"));
    EXPECT_EQ(fx.link().baudRate(), "9600");
    connect->click();
    EXPECT_TRUE(fx.link().isOpen());
    EXPECT_TRUE(fx.settings().Connect);
    EXPECT_FALSE(get<QGroupBox>("GroupBox1")->isEnabled());
    connect->click();
    EXPECT_FALSE(fx.link().isOpen());
    EXPECT_TRUE(get<QGroupBox>("GroupBox1")->isEnabled());

    fx.link().setPortName("/dev/zv-no-such-port");
    window.UpdateSetupW(fx.settings());
    connect->click();
    EXPECT_FALSE(connect->isChecked());
    EXPECT_FALSE(fx.link().isOpen());
    EXPECT_FALSE(fx.settings().Connect);
    EXPECT_EQ(fx.messages.texts(), QStringList{"Порт /dev/zv-no-such-port не доступен"});
    EXPECT_TRUE(window.unsaved());

    // What the file gets is what the link uses.
    fx.messages.answerYes();
    click("But1");
    const zv::Settings saved = fx.readBack();
    EXPECT_EQ(saved.Port, "/dev/zv-no-such-port");
    EXPECT_EQ(saved.BaudRate, "9600");
    EXPECT_FALSE(saved.Connect);
}

TEST_F(SetupWTest, DebugGridFeedsOneSampleAndBadCellsGiveThousand) {
    zv::ModalScript script;
    openUnlocked(script);
    get<QCheckBox>("ChBox31")->click();
    EXPECT_TRUE(fx.debugShown);
    auto* grid = get<QTableWidget>("SG1");
    EXPECT_TRUE(grid->isVisible());
    const QStringList cells = {"10", "20", "30", "abc", "", "70000", "-1", " 80 "};
    for (int row = 0; row < 8; ++row) grid->item(row, 0)->setText(cells[row]);
    window.SetBut1Cli();
    ASSERT_EQ(fx.fed.size(), 1u);
    const std::array<uint16_t, 8> expected = {10, 20, 30, 1000, 1000, 1000, 1000, 80};
    EXPECT_EQ(fx.fed[0], expected);
    EXPECT_EQ(fx.engine().filter().AdcCode(3, 0), 1000);
    get<QCheckBox>("ChBox31")->click();
    EXPECT_FALSE(fx.debugShown);
    EXPECT_FALSE(grid->isVisible());
}

TEST_F(SetupWTest, ReadoutsShowTheChosenCodesAndTheLoads) {
    zv::CalibrationReadouts r;
    for (int i = 0; i < 8; ++i) {
        r.raw[i] = 100 + i;
        r.dynamic[i] = 200 + i;
        r.stat[i] = 300 + i;
    }
    r.loads[0] = 4000;
    r.loads[9] = 57;
    window.showCalibrationReadouts(r);
    EXPECT_EQ(get<QLabel>("La2")->text(), "302");
    EXPECT_EQ(get<QLabel>("Lw0")->text(), "4000");
    EXPECT_EQ(get<QLabel>("Lw57")->text(), "57");
    EXPECT_EQ(get<QLabel>("Lw")->text(), "0");
    choose(get<QComboBox>("CBox32"), 0);
    r.hasTotal = true;
    r.total = 4321;
    window.showCalibrationReadouts(r);
    EXPECT_EQ(get<QLabel>("La2")->text(), "102");
    EXPECT_EQ(get<QLabel>("Lw")->text(), "4321");

    zv::ConditioningDisplay d;
    d.LwRaw = 1234;
    d.Lds0Empty = false;
    d.Lds0 = 2345;
    window.showConditioning(d);
    EXPECT_EQ(get<QLabel>("Lw_")->text(), "1234");
    EXPECT_EQ(get<QLabel>("Lds0")->text(), "2345");
    EXPECT_EQ(get<QLabel>("Lds1")->text(), "_");
    window.showLinkCounters(3, 7, " 50 50");
    EXPECT_EQ(get<QLabel>("Ler")->text(), "3");
    EXPECT_EQ(get<QLabel>("Lsc")->text(), "7");
    EXPECT_EQ(get<QLabel>("Ln1")->text(), " 50 50");
}

}  // namespace
