// Wagon numbers typed into the train list one after the other, as an operator does with a
// long train: the keyboard only, Enter after each number.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "app/app_fixture.h"
#include "app/zolvelt_application.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/message_service.h"
#include "ui/tlie_edit.h"
#include "wagon_numbers/control_digit.h"
#include "wagon_numbers/wagon_number_questions.h"

namespace zv::test {
namespace {

// The number "52" + six digits of n with its right control digit.
QString validNumber(int n) {
    const std::string seven = QStringLiteral("52%1").arg(n, 5, 10, QLatin1Char('0')).toStdString();
    return QString::fromStdString(seven) + QString::number(*wagonControlDigit(seven));
}

class WagonNumberEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        main = &app.start();
        main->show();
        app.messages.clear();
    }

    // Train 1 of `wagons` rows weighed in motion; the rows listed in `locomotives` are
    // locomotives, whose number is not typed.
    void weighTrain(int wagons, std::initializer_list<int> locomotives = {}) {
        Table& trains = main->records().Trains();
        const QDateTime start(QDate(2026, 12, 1), QTime(8, 0));
        for (int i = 0; i < wagons; ++i) {
            const bool loco = std::find(locomotives.begin(), locomotives.end(), i) != locomotives.end();
            trains.insertValues({{"Train", 1},
                                 {"Time", start.addSecs(10 * i)},
                                 {"Weight", loco ? 120000 : 60000},
                                 {"Direc", 0},
                                 {"Note", loco ? 3 : 1},
                                 {"Axle", 4}});
        }
        trains.flush();
        main->LIEtr()->setVal(1);
        main->trainList().showSelected();
    }

    QTableView* grid() const { return main->controls().DBG1; }
    QModelIndex wagonCell(int row) const {
        return grid()->model()->index(row, trainListColumn(*main, "Wagon"));
    }
    QString stored(int row) const { return wagonCell(row).data(Qt::EditRole).toString(); }
    QLineEdit* editorAt(int row) const {
        return qobject_cast<QLineEdit*>(grid()->indexWidget(wagonCell(row)));
    }
    // A double click on the cell, as the operator opens it.
    QLineEdit* openCell(int row) {
        clickAt(grid()->viewport(), grid()->visualRect(wagonCell(row)).center(), true);
        return editorAt(row);
    }
    // Keys go where the focus is, as on the real keyboard.
    void type(const QString& keys) { typeKeys(QApplication::focusWidget(), keys); }
    void press(Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCoreApplication::processEvents();
    }
    std::optional<Event> lastConfirmation() const {
        return Events::installed()->log().lastOf(event_kind::WagonNumberConfirmed);
    }

    AppFixture app;
    TMain* main = nullptr;
};

// Two dozen numbers: every write is a durable commit, and more rows would only add time.
TEST_F(WagonNumberEntry, NumbersInARowEachGoToTheirWagonAndLocomotivesAreSkipped) {
    const int rows = 26;
    const int loco = 13;
    weighTrain(rows, {0, loco});
    ASSERT_NE(openCell(1), nullptr);
    QStringList typed;
    for (int row = 1; row < rows; ++row) {
        if (row == loco) continue;
        typed << validNumber(row);
        EXPECT_EQ(QApplication::focusWidget(), editorAt(row)) << "row " << row;
        type(typed.last());
        press(Qt::Key_Return);
    }
    QStringList written;
    for (int row = 1; row < rows; ++row)
        if (row != loco) written << stored(row);
    EXPECT_EQ(written, typed);
    EXPECT_EQ(stored(0), QString());
    EXPECT_EQ(stored(loco), QString());
    EXPECT_EQ(app.messages.texts(), QStringList());
    // The last number closes the last cell; the grid keeps the focus on its wagon.
    EXPECT_EQ(editorAt(rows - 1), nullptr);
    EXPECT_EQ(grid()->currentIndex().row(), rows - 1);
}

TEST_F(WagonNumberEntry, OnlyDigitsGetInAndEscapeLeavesTheCellAsStored) {
    weighTrain(3);
    ASSERT_NE(openCell(0), nullptr);
    type("abc12");
    EXPECT_EQ(editorAt(0)->text(), "12");
    press(Qt::Key_Return);
    EXPECT_EQ(stored(0), "12");

    ASSERT_NE(editorAt(1), nullptr);  // the next wagon waits for its number
    type("1234");
    press(Qt::Key_Escape);
    EXPECT_EQ(stored(1), QString());
    EXPECT_EQ(editorAt(1), nullptr);

    // Typing into a stored number and going back with Escape keeps the stored one.
    ASSERT_NE(openCell(0), nullptr);
    type("99");
    press(Qt::Key_Escape);
    EXPECT_EQ(stored(0), "12");
    EXPECT_EQ(app.messages.texts(), QStringList());
}

TEST_F(WagonNumberEntry, AWrongControlDigitIsSaidAtOnceAndIsCorrectedOrConfirmed) {
    weighTrain(3);
    const QString question = controlDigitQuestion("52345678", 5);
    ASSERT_NE(openCell(0), nullptr);

    // No: nothing is written, the number stays in the cell for correction.
    app.messages.answerNo();
    type("52345678");
    press(Qt::Key_Return);
    EXPECT_EQ(app.messages.texts(), QStringList{question});
    EXPECT_EQ(stored(0), QString());
    ASSERT_EQ(QApplication::focusWidget(), editorAt(0));
    EXPECT_EQ(editorAt(0)->text(), "52345678");
    EXPECT_EQ(editorAt(0)->selectedText(), "52345678");
    type("52345675");
    press(Qt::Key_Return);
    EXPECT_EQ(stored(0), "52345675");
    EXPECT_FALSE(lastConfirmation());

    // Yes: the number is kept as typed, and the log says who confirmed what.
    app.messages.clear();
    app.messages.answerYes();
    ASSERT_EQ(QApplication::focusWidget(), editorAt(1));
    type("52345678");
    press(Qt::Key_Return);
    EXPECT_EQ(app.messages.texts(), QStringList{question});
    EXPECT_EQ(stored(1), "52345678");
    EXPECT_EQ(QApplication::focusWidget(), editorAt(2));
    const std::optional<Event> logged = lastConfirmation();
    ASSERT_TRUE(logged);
    EXPECT_EQ(logged->subject, "Состав 1, 01.12.2026 08:00:10");
    EXPECT_EQ(logged->newValue, "52345678 (неверная контрольная цифра, должна быть 5)");
}

TEST_F(WagonNumberEntry, ANumberOfAnotherWagonOfTheTrainNeedsAConfirmation) {
    weighTrain(3);
    const QString number = validNumber(7);
    ASSERT_NE(openCell(0), nullptr);
    type(number);
    press(Qt::Key_Return);
    ASSERT_EQ(stored(0), number);

    app.messages.answerNo();
    type(number);
    press(Qt::Key_Return);
    EXPECT_EQ(app.messages.texts(), QStringList{takenNumberQuestion(number, 1)});
    EXPECT_EQ(stored(1), QString());
    EXPECT_EQ(QApplication::focusWidget(), editorAt(1));

    // Leaving the cell by a click elsewhere asks the same; Yes writes it.
    app.messages.clear();
    app.messages.answerYes();
    clickCell(grid(), grid()->model()->index(2, 0));
    EXPECT_EQ(app.messages.texts(), QStringList{takenNumberQuestion(number, 1)});
    EXPECT_EQ(stored(1), number);
    ASSERT_TRUE(lastConfirmation());
    EXPECT_EQ(lastConfirmation()->newValue, number + " (уже есть в составе, строка 1)");
}

TEST_F(WagonNumberEntry, BothDoubtsAreAskedAndLoggedOnlyOnceTheNumberIsWritten) {
    weighTrain(3);
    const QString number = "52345678";
    const auto confirmations = [] {
        return Events::installed()->log().countOf(event_kind::WagonNumberConfirmed);
    };
    ASSERT_NE(openCell(0), nullptr);
    app.messages.answerYes();
    type(number);
    press(Qt::Key_Return);
    ASSERT_EQ(stored(0), number);
    ASSERT_EQ(confirmations(), 1);

    app.messages.clear();
    app.messages.answerYes().answerNo();
    type(number);
    press(Qt::Key_Return);
    const QStringList both{controlDigitQuestion(number, 5), takenNumberQuestion(number, 1)};
    EXPECT_EQ(app.messages.texts(), both);
    EXPECT_EQ(stored(1), QString());
    EXPECT_EQ(confirmations(), 1);

    app.messages.clear();
    app.messages.answerYes().answerYes();
    press(Qt::Key_Return);
    EXPECT_EQ(app.messages.texts(), both);
    EXPECT_EQ(stored(1), number);
    EXPECT_EQ(confirmations(), 3);
}

// A picture for a person to look at, not part of the suite: the real question box over the
// main window (offscreen, both windows grabbed and laid one over the other), run with
//   ZOLVELT_SHOTS=DIR app_tests --gtest_also_run_disabled_tests --gtest_filter='*ShotOfTheControlDigit*'
TEST_F(WagonNumberEntry, DISABLED_ShotOfTheControlDigitQuestion) {
    weighTrain(6, {0});
    ASSERT_NE(openCell(1), nullptr);
    for (int row = 1; row < 3; ++row) {
        type(validNumber(row));
        press(Qt::Key_Return);
    }
    type("52345678");
    installQtRussian(*QCoreApplication::instance());  // Да / Нет, as the program shows them
    MessageResponder* scripted = Messages::setResponder(nullptr);
    QTimer::singleShot(300, [this] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QImage picture = main->grab().toImage();
        QPainter painter(&picture);
        const QPixmap question = box->grab();
        const QPoint at = grid()->mapTo(main, grid()->visualRect(wagonCell(3)).bottomLeft()) +
                          QPoint(40, 24);
        painter.fillRect(QRect(at + QPoint(4, 4), question.size()), QColor(0, 0, 0, 60));
        painter.drawPixmap(at, question);
        painter.setPen(Qt::darkGray);
        painter.drawRect(QRect(at, question.size()).adjusted(0, 0, -1, -1));
        painter.end();
        picture.save(qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/wagon-control-digit.png");
        box->close();
    });
    press(Qt::Key_Return);
    Messages::setResponder(scripted);
    EXPECT_EQ(stored(3), QString());
}

}  // namespace
}  // namespace zv::test
