#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "admin/shift_s.h"
#include "app/app_fixture.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;
using zv::test::chooseOperator;

// A new installation says once that its tables were made, and the shift window starts on the
// first operator: Enter alone signs in.
TEST(StartUp, FirstStartOnAnEmptyFolderSaysOnceThatTheTablesWereMadeAndEnterSignsIn) {
    AppFixture app;
    TMain& main = app.create();
    bool cancelOffered = true;
    int listed = -1;
    zv::ModalScript script;
    script.then([&](QDialog& d) {
        cancelOffered = !d.findChild<QPushButton*>("Button2")->isHidden();
        listed = d.findChild<QComboBox*>("LCBox1")->count();
        QWidget* focus = d.focusWidget();
        QTest::keyClick(focus ? focus : &d, Qt::Key_Return);
    });
    main.Prepare();

    EXPECT_EQ(script.shown(), QStringList{"ShiftS"});
    EXPECT_FALSE(cancelOffered) << "the first shift has no \"Отмена\"";
    EXPECT_EQ(listed, 1);
    const QStringList texts = app.messages.texts();
    ASSERT_EQ(texts.size(), 1) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts[0].contains("Для новой установки созданы новые пустые таблицы")) << texts[0].toStdString();
    EXPECT_EQ(main.currentOperator(), 0);
    EXPECT_EQ(main.controls().DBT1->text(), "Оператор");
    zv::Events::installed()->collect();
    const QList<zv::Event> created = zv::Events::installed()->log().read({{}, {}, zv::event_kind::TableCreated});
    ASSERT_FALSE(created.isEmpty());
    EXPECT_EQ(created[0].subject, "Новая установка");
}

// A table gone from a folder in use is still told of by name. The shift window starts on the
// first operator; one with a code is asked for it at once, and Enter after it signs in.
TEST(StartUp, ATableGoneFromAFolderInUseIsToldOfAndTheFirstOperatorIsAskedForTheCode) {
    AppFixture app;
    {
        zv::Table& names = app.start().records().Names();
        names.insertValues({{"N", 1}, {"Name", "Иванов"}, {"Pass", "Ab1"}});
        names.insertValues({{"N", 2}, {"Name", "Петров"}});
        ASSERT_TRUE(names.findKey(0));
        names.remove();
        names.flush();
    }
    app.stop();
    ASSERT_TRUE(QFile::remove(app.folder() + "DB/Stations.db"));
    app.messages.clear();
    TMain& main = app.create();
    zv::ModalScript script;
    QString chosen;
    script.then([&](QDialog& d) {
        chosen = d.findChild<QComboBox*>("LCBox1")->currentText();
        QWidget* code = d.findChild<QWidget*>("E1");
        EXPECT_TRUE(code->isVisible());
        EXPECT_EQ(d.focusWidget(), code);
        zv::test::typeKeys(code, "Ab1");
        QTest::keyClick(code, Qt::Key_Return);
    });
    main.Prepare();
    EXPECT_EQ(chosen, "Иванов");
    EXPECT_EQ(main.currentOperator(), 1);
    EXPECT_EQ(app.messages.texts().size(), 1) << app.messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(app.messages.texts().first().startsWith("Не найдена таблица \"Станции\"!"));
}

class Shift : public ::testing::Test {
  protected:
    void SetUp() override {
        main = &app.start();
        zv::Table& names = main->records().Names();
        names.insertValues({{"N", 1}, {"Name", "Иванов"}, {"Pass", "Ab1"}});
        names.insertValues({{"N", 2}, {"Name", "Петров"}});
        names.flush();
        app.messages.clear();
    }

    AppFixture app;
    TMain* main = nullptr;
};

TEST_F(Shift, WrongCodeKeepsTheWindowOpenAndTheRightOneSignsIn) {
    zv::ModalScript script;
    bool stillOpen = false;
    script.then([&](QDialog& d) {
        chooseOperator(d, 1, "ab1");
        stillOpen = d.isVisible();
        chooseOperator(d, 1, "Ab1");
    });
    main->ShiftSet();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(app.messages.texts(), QStringList{"Неверный пароль"});
    EXPECT_EQ(main->currentOperator(), 1);
    EXPECT_EQ(main->controls().DBT1->text(), "Иванов");
}

TEST_F(Shift, CancelKeepsThePreviousOperatorEvenWithAnotherChosen) {
    zv::ModalScript script;
    script.then([](QDialog& d) { chooseOperator(d, 2); });
    main->ShiftSet();
    ASSERT_EQ(main->currentOperator(), 2);

    script.then([](QDialog& d) {
        static_cast<TShiftS&>(d).chooseOperator(1);
        d.findChild<QPushButton*>("Button2")->click();
    });
    main->ShiftSet();
    EXPECT_EQ(main->currentOperator(), 2);
    EXPECT_EQ(main->records().Names().toInt("N"), 2);
    EXPECT_EQ(main->controls().DBT1->text(), "Петров");

    zv::Table& names = main->records().Names();  // renamed in the table viewer
    names.edit();
    names.setValue("Name", "Петров П.");
    names.post();
    EXPECT_EQ(main->controls().DBT1->text(), "Петров П.");
}

TEST(ShiftAtStartUp, CloseBoxWithoutTheCodeGivesOperatorZero) {
    AppFixture app;
    {
        // Operators from an earlier run.
        TMain& first = app.start();
        first.records().Names().insertValues({{"N", 1}, {"Name", "Иванов"}, {"Pass", "Ab1"}});
        first.records().Names().flush();
    }
    TMain& main = app.create();
    zv::ModalScript script;
    script.then([](QDialog& d) {
        static_cast<TShiftS&>(d).chooseOperator(1);
        d.close();
    });
    main.Prepare();
    EXPECT_EQ(main.currentOperator(), 0);
    EXPECT_EQ(main.controls().DBT1->text(), "Оператор");
}

TEST_F(Shift, NoChoiceCannotCloseTheWindow) {
    zv::ModalScript script;
    bool refused = false;
    script.then([&](QDialog& d) {
        d.findChild<QComboBox*>("LCBox1")->setCurrentIndex(-1);
        d.reject();
        refused = d.isVisible();
        chooseOperator(d, 2);
    });
    main->ShiftSet();
    EXPECT_TRUE(refused);
    EXPECT_EQ(app.messages.texts(), QStringList{"Необходимо указать оператора"});
    EXPECT_EQ(main->currentOperator(), 2);
}

// The operator opens "Смена" from the menu and works the window with the mouse and keys.
class ShiftByHand : public Shift {
  protected:
    void openShift(zv::ModalScript::Step step) {
        zv::ModalScript script;
        script.then(std::move(step));
        zv::test::chooseMenu(main->menuBar(), {"&Работа", "Смена"});
        EXPECT_EQ(script.shown(), QStringList{"ShiftS"});
    }
    QString shownOperator() const { return main->controls().DBT1->text(); }
};

TEST_F(ShiftByHand, AnOperatorWithoutACodeIsChosenAndApplied) {
    EXPECT_EQ(shownOperator(), "Оператор") << "operators just added are nobody's shift";
    openShift([](QDialog& d) {
        zv::test::choose(d.findChild<QComboBox*>("LCBox1"), "Петров");
        EXPECT_TRUE(zv::test::control(&d, "P1")->isHidden());
        zv::test::click(zv::test::control(&d, "Button1"));
    });
    EXPECT_EQ(main->currentOperator(), 2);
    EXPECT_EQ(shownOperator(), "Петров");
    EXPECT_TRUE(app.messages.texts().isEmpty());
}

TEST_F(ShiftByHand, TheCodeCannotBeBypassedAndTheLabelWaitsForTheConfirmedChange) {
    openShift([](QDialog& d) {
        zv::test::choose(d.findChild<QComboBox*>("LCBox1"), "Петров");
        zv::test::click(zv::test::control(&d, "Button1"));
    });
    ASSERT_EQ(main->currentOperator(), 2);

    // Choose the operator with a code, then think better of it.
    openShift([&](QDialog& d) {
        zv::test::choose(d.findChild<QComboBox*>("LCBox1"), "Иванов");
        EXPECT_FALSE(zv::test::control(&d, "P1")->isHidden());
        EXPECT_EQ(shownOperator(), "Петров");
        zv::test::click(zv::test::control(&d, "Button2"));
    });
    EXPECT_EQ(main->currentOperator(), 2);
    EXPECT_EQ(shownOperator(), "Петров");

    // The window opens again on that choice: "Применить" without the code must not sign in.
    bool openAfterWrongCode = false;
    QString labelAfterWrongCode;
    openShift([&](QDialog& d) {
        zv::test::click(zv::test::control(&d, "Button1"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(zv::test::control(&d, "P1")->isHidden());
        zv::test::typeInto(zv::test::control(&d, "E1"), "ab1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        openAfterWrongCode = d.isVisible();
        labelAfterWrongCode = shownOperator();
        zv::test::typeInto(zv::test::control(&d, "E1"), "Ab1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_TRUE(openAfterWrongCode);
    EXPECT_EQ(labelAfterWrongCode, "Петров");
    EXPECT_EQ(app.messages.texts(), (QStringList{"Неверный пароль", "Неверный пароль"}));
    EXPECT_EQ(main->currentOperator(), 1);
    EXPECT_EQ(shownOperator(), "Иванов");
}

}  // namespace
