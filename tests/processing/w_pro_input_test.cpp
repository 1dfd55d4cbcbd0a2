#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "support/operator_input.h"
#include "w_pro_fixture.h"
#include "wagon_numbers/wagon_number_questions.h"

// The processing window worked with the mouse and the keyboard, as the operator works it.
namespace zv::test {
namespace {

// Every stored value of every row, in key order, as "field=value" lines.
QStringList storedRows(Table& table) {
    QStringList rows;
    for (const Row& row : table.readFilteredRows()) {
        QStringList values;
        for (const FieldDef& field : table.def().fields)
            if (field.isStored()) values << field.name + "=" + row.value(field.name).toString();
        rows << values.join(' ');
    }
    return rows;
}

class WProByHand : public ::testing::Test, public WProFixture {
  protected:
    // A wagon accepted loaded at 64 t, with its waybill, waiting on the territory.
    void acceptedWagon(const QVariant& weiL = {}) {
        wagons().insertValues({{"Wagon", "51234565"},
                               {"Weight", 64000},
                               {"Load", 5},
                               {"Station", 1},
                               {"Client", 1},
                               {"Doc", "ABC"},
                               {"WeiL", weiL}});
        wagons().flush();
        wagons().findKey("51234565");
    }
};

TEST_F(WProByHand, CancellingAReleaseLeavesEveryStoredRowAsItWas) {
    const struct {
        const char* name;
        bool atRest;
        bool escape;
    } cases[] = {{"at rest, Escape", true, true},
                 {"at rest, Отмена", true, false},
                 {"in motion, Escape", false, true},
                 {"in motion, Отмена", false, false}};
    acceptedWagon();
    addTrainRow(3, "51234565", 23000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList wagonsBefore = storedRows(wagons());
        trains().setFiltered(false);
        const QStringList trainsBefore = storedRows(trains());
        trains().setFiltered(true);
        wagons().findKey("51234565");
        trains().last();
        messages.clear();
        messages.answerYes();  // leaves in transit: the waybill can be edited
        ModalScript script;
        script.then([&](QDialog& d) {
            choose(static_cast<QComboBox*>(control(&d, "LCBoxL1")), "Уголь");
            typeInto(control(&d, "DBE2"), "49");
            typeInto(control(&d, "DBEBrutD"), "777");
            typeInto(control(&d, "DBE8"), "пломба");
            if (c.escape)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else
                click(control(&d, "But2"));
            EXPECT_FALSE(d.isVisible());
        });
        acceptance.But2Click(c.atRest, false);
        EXPECT_EQ(script.shown(), QStringList{"WPro"});
        EXPECT_EQ(storedRows(wagons()), wagonsBefore);
        trains().setFiltered(false);
        EXPECT_EQ(storedRows(trains()), trainsBefore);
        trains().setFiltered(true);
        EXPECT_EQ(book().recordCount(), 0);
    }
}

TEST_F(WProByHand, EditsTakeNoMoreThanTheirFieldHoldsHoweverTextGetsIn) {
    ModalScript script;
    script.then([&](QDialog& d) {
        choose(static_cast<QComboBox*>(control(&d, "LCBoxL")), "Уголь");
        auto* note = static_cast<QLineEdit*>(control(&d, "DBE8"));
        typeInto(note, "Пломба сорвана на люке 3");  // 24 characters into a field of 16
        EXPECT_EQ(note->text(), "Пломба сорвана н");
        EXPECT_EQ(wagons().value("Note").toString(), "Пломба сорвана н");

        auto* tare = static_cast<QLineEdit*>(control(&d, "DBE2"));
        typeInto(tare, "99999999999");
        EXPECT_EQ(tare->text(), "999999999");
        typeInto(control(&d, "DBE3"), "-40000");  // pieces, a 16-bit field
        EXPECT_EQ(static_cast<QLineEdit*>(control(&d, "DBE3"))->text(), "-4000");

        auto* number = static_cast<QLineEdit*>(control(&d, "DBE1"));
        typeInto(number, "12");
        QApplication::clipboard()->setText("ab12");
        QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(number->text(), "12");
        QApplication::clipboard()->setText("34");
        QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(number->text(), "1234");
        EXPECT_EQ(wagons().value("Wagon").toString(), "1234");
        click(control(&d, "But2"));
    });
    acceptance.But1Click(true);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(wagonRows(), 0);
}

TEST_F(WProByHand, TheFirstDigitReplacesThePlaceholderOfTheNumber) {
    ModalScript script;
    script.then([&](QDialog& d) {
        auto* number = static_cast<QLineEdit*>(control(&d, "DBE1"));
        click(number);
        QTest::keyClick(number, Qt::Key_End);
        QTest::keyClicks(number, "5x6");
        EXPECT_EQ(number->text(), "56");
        EXPECT_EQ(wagons().value("Wagon").toString(), "56");
    });
    acceptance.But1Click(true);
}

// A number typed in the window with a wrong control digit is asked about at "Готово": No
// keeps the window open on the number, Yes accepts the wagon under the number as typed.
TEST_F(WProByHand, AWrongControlDigitIsConfirmedBeforeTheWagonIsAccepted) {
    const QString question = controlDigitQuestion("52345678", 5);
    bool openAfterNo = false;
    bool numberFocused = false;
    messages.answerNo().answerYes();
    ModalScript script;
    script.then([&](QDialog& d) {
        choose(static_cast<QComboBox*>(control(&d, "LCBoxL")), "Без груза");
        host.reading = {30000, 16000, 14000, 12};
        click(control(&d, "But8"));
        typeInto(control(&d, "DBE1"), "52345678");
        click(control(&d, "But1"));
        openAfterNo = d.isVisible();
        numberFocused = QApplication::focusWidget() == control(&d, "DBE1");
        click(control(&d, "But1"));
    });
    acceptance.But1Click(true);
    EXPECT_EQ(messages.texts(), (QStringList{question, question}));
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(numberFocused);
    EXPECT_TRUE(wagons().findKey("52345678"));
}

// A loaded wagon in transit whose imbalance at acceptance is unknown has no load imbalance,
// whatever the train measured now.
TEST_F(WProByHand, AReleaseInTransitWithoutTheImbalanceAtAcceptanceStoresNone) {
    acceptedWagon();
    addTrainRow(3, "51234565", 64100, 1, 700);
    messages.answerYes();  // "Вагон выпускается транзитом"
    ModalScript script;
    script.then([&](QDialog& d) {
        choose(static_cast<QComboBox*>(control(&d, "LCBoxL1")), "Уголь");
        click(control(&d, "But1"));
    });
    acceptance.But2Click(false, false);
    ASSERT_EQ(book().recordCount(), 1) << messages.texts().join('|').toStdString();
    book().last();
    EXPECT_EQ(book().toInt("Dir"), 2);
    EXPECT_TRUE(book().isNull("WeiL")) << book().toInt("WeiL");
}

}  // namespace
}  // namespace zv::test
