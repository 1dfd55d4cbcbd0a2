#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "admin/shift_s.h"
#include "app/app_fixture.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;
using zv::test::chooseOperator;

TEST(StartUp, FirstStartOnAnEmptyFolderCreatesTheTablesAndSignsInTheFallbackOperator) {
    AppFixture app;
    TMain& main = app.create();
    bool cancelOffered = true;
    int listed = -1;
    zv::ModalScript script;
    script.then([&](QDialog& d) {
        cancelOffered = !d.findChild<QPushButton*>("Button2")->isHidden();
        listed = d.findChild<QComboBox*>("LCBox1")->count();
        chooseOperator(d, 0);
    });
    main.Prepare();

    EXPECT_EQ(script.shown(), QStringList{"ShiftS"});
    EXPECT_FALSE(cancelOffered) << "the first shift has no \"Отмена\"";
    EXPECT_EQ(listed, 1);
    const QStringList texts = app.messages.texts();
    ASSERT_GE(texts.size(), 8);
    EXPECT_TRUE(texts[0].startsWith("Не найдена таблица \"Грузы\"!")) << texts[0].toStdString();
    EXPECT_TRUE(texts[4].startsWith("Не найдена таблица \"Операторы весов\"!"));
    EXPECT_TRUE(texts[texts.size() - 2].startsWith("Будет создана новая весовая книга"));
    EXPECT_EQ(texts.last(), "Не найден журнал событий!\r\nБудет создан новый журнал событий");
    EXPECT_EQ(main.currentOperator(), 0);
    EXPECT_EQ(main.controls().DBT1->text(), "Оператор");
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
