#include <gtest/gtest.h>

#include <QDateTime>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "app/app_fixture.h"
#include "records/table.h"
#include "support/operator_input.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace {

using zv::test::AppFixture;

class TrainList : public ::testing::Test {
  protected:
    void SetUp() override {
        main = &app.start();
        app.messages.clear();
    }

    // A row of train n; rows are added in time order.
    void addRow(int train, QVariant direc = 0, QVariant note = 1) {
        zv::Table& trains = main->records().Trains();
        trains.insertValues({{"Train", train},
                             {"Time", base.addSecs(60 * rowsAdded++)},
                             {"Weight", 60000},
                             {"Direc", direc},
                             {"Note", note},
                             {"Axle", 4}});
        trains.flush();
    }
    void addTrains(std::initializer_list<int> numbers) {
        for (int n : numbers) {
            addRow(n, 0, 0);
            addRow(n, 0, 0);
        }
    }
    void show(int n) {
        main->LIEtr()->setVal(n);
        main->trainList().showSelected();
    }
    int selected() const { return main->LIEtr()->Val(); }
    QString filter() { return main->records().Trains().filter(); }
    int listed() const { return main->controls().DBG1->model()->rowCount(); }
    int rowsOf(int n) {
        zv::Table& trains = main->records().Trains();
        trains.setFilter(QString("Train=%1").arg(n));
        const int count = trains.recordCount();
        main->trainList().showSelected();
        return count;
    }

    AppFixture app;
    TMain* main = nullptr;
    QDateTime base = QDateTime(QDate(2026, 12, 1), QTime(8, 0));
    int rowsAdded = 0;
};

TEST_F(TrainList, TypedNumberIsSelectedFirstAndEmptyTrainIsReported) {
    addTrains({5});
    show(5);
    main->LIEtr()->setVal(7);
    main->trainList().But11Click();
    EXPECT_EQ(filter(), "Train=7");
    EXPECT_EQ(listed(), 0);
    main->trainList().But11Click();
    EXPECT_EQ(app.messages.texts(), (QStringList{"Выбран состав7", "Нет состава с таким номером"}));
}

TEST_F(TrainList, StepsToTheNeighbourTrainsAndStopsAtTheEnds) {
    addTrains({3, 5, 8});
    show(5);
    const struct {
        bool up;
        int expected;
    } steps[] = {{true, 8}, {true, 8}, {false, 5}, {false, 3}, {false, 3}};
    for (const auto& step : steps) {
        if (step.up)
            main->trainList().SpinBut1UpClick();
        else
            main->trainList().SpinBut1DownClick();
        EXPECT_EQ(selected(), step.expected);
        EXPECT_EQ(filter(), QString("Train=%1").arg(step.expected));
        EXPECT_EQ(listed(), 2);
    }
}

struct DeletionCase {
    const char* name;
    int train;
    std::vector<bool> answers;
    QStringList questions;
    bool deleted;
    int selectedAfter;
};

TEST_F(TrainList, DeletionAsksItsQuestionsAndSelectsANeighbour) {
    const QString renumber =
        "Этот состав взвешен последним.\r\nПри его удалении изменится нумерация следующих "
        "составов.\r\n(при удалении всех составов нумерация начнется с 1)\r\nУдалить?";
    const QString staticTrain =
        "Этот номер состава использован при статическом взвешивании!\r\nУдалить?";
    const QString unprocessed = "Состав содержит необработанные вагоны!\r\nУдалить?";
    const DeletionCase cases[] = {
        {"middle train, unprocessed", 5, {true, true}, {"Удалить состав?", unprocessed}, true, 3},
        {"unprocessed refused", 5, {true, false}, {"Удалить состав?", unprocessed}, false, 5},
        {"highest train", 8, {true, true}, {renumber, "Удалить состав?"}, true, 5},
        {"renumbering refused", 8, {false}, {renumber}, false, 8},
        {"static train", 3, {true}, {staticTrain}, true, 5},
    };
    for (const DeletionCase& c : cases) {
        SCOPED_TRACE(c.name);
        main->records().Trains().setFiltered(false);
        while (!main->records().Trains().isEmpty()) {
            main->records().Trains().first();
            main->records().Trains().remove();
        }
        addRow(3, QVariant(), QVariant());  // static marker
        addRow(5, 0, 1);
        addRow(5, 0, 0);
        addTrains({8});
        show(c.train);
        app.messages.clear();
        for (bool yes : c.answers) yes ? app.messages.answerYes() : app.messages.answerNo();

        main->trainList().But11Click();
        EXPECT_EQ(app.messages.texts(), c.questions);
        EXPECT_EQ(selected(), c.selectedAfter);
        EXPECT_EQ(filter(), QString("Train=%1").arg(c.selectedAfter));
        EXPECT_EQ(rowsOf(c.train) == 0, c.deleted);
    }
}

TEST_F(TrainList, NothingIsDeletedWhileATrainPassesAndAxlesWaitDuringTheQuestions) {
    addTrains({4});
    show(4);
    for (const auto& sample : zv::test::trainSamples(main->settings(), 2)) {
        main->engine().feed(sample, app.clock);
        if (main->engine().trainInProgress()) break;
    }
    ASSERT_TRUE(main->engine().trainInProgress());

    // Answers Yes, noting whether the axle detector may run while the box is up.
    struct Watcher : zv::MessageResponder {
        TMain* main;
        bool allowedDuringQuestion = true;
        bool respond(const zv::Message&) override {
            allowedDuringQuestion = allowedDuringQuestion && main->dynamicWeighingAllowed();
            return true;
        }
    } watcher;
    watcher.main = main;
    zv::MessageResponder* previous = zv::Messages::setResponder(&watcher);
    main->trainList().But11Click();
    zv::Messages::setResponder(previous);

    EXPECT_FALSE(watcher.allowedDuringQuestion);
    EXPECT_TRUE(main->dynamicWeighingAllowed());
    EXPECT_EQ(rowsOf(4), 2);
    EXPECT_EQ(filter(), "Train=4");
}

TEST_F(TrainList, ClearingAsksOnlyForAFullTableAndStartsTheNumbersAgain) {
    show(6);
    main->trainList().But4Click();
    EXPECT_TRUE(app.messages.texts().isEmpty());
    EXPECT_EQ(selected(), 6);

    addTrains({6, 7});
    app.messages.answerYes();
    main->trainList().But4Click();
    EXPECT_EQ(app.messages.texts(),
              QStringList{"Все результаты из таблицы Составы будут удалены.\r\nПродолжить?"});
    EXPECT_EQ(selected(), 1);
    main->records().Trains().setFiltered(false);
    EXPECT_TRUE(main->records().Trains().isEmpty());
}

TEST_F(TrainList, TrainsReportSeesEveryTrainWeighedInMotionThenTheListComesBack) {
    addRow(2, QVariant(), QVariant());
    addTrains({3, 4});
    show(4);
    int rowsInReport = -1;
    main->trainList().setPreview([&] { rowsInReport = main->records().Trains().recordCount(); });
    main->trainList().N23Click();
    EXPECT_EQ(rowsInReport, 4);
    EXPECT_EQ(filter(), "Train=4");
    EXPECT_EQ(listed(), 2);
}

TEST_F(TrainList, OnlyTheWagonNumberOfAWagonToProcessAndWei3CanBeEdited) {
    addRow(9, 0, 1);
    addRow(9, 0, 0);
    addRow(9, 0, 3);
    addRow(9, 0, QVariant());
    show(9);
    const QAbstractItemModel* grid = main->controls().DBG1->model();
    const auto editable = [&](int row, const QString& heading) {
        for (int col = 0; col < grid->columnCount(); ++col)
            if (grid->headerData(col, Qt::Horizontal).toString() == heading)
                return bool(grid->flags(grid->index(row, col)) & Qt::ItemIsEditable);
        ADD_FAILURE() << "no column " << heading.toStdString();
        return false;
    };
    ASSERT_EQ(listed(), 4);
    EXPECT_TRUE(editable(0, "Вагон"));
    EXPECT_FALSE(editable(1, "Вагон"));
    EXPECT_FALSE(editable(2, "Вагон"));
    EXPECT_FALSE(editable(3, "Вагон"));
    EXPECT_FALSE(editable(0, "Вес"));
    EXPECT_FALSE(editable(0, "Направл."));
}

TEST_F(TrainList, AcceptingAWagonOfTheListOpensTheProcessingWindow) {
    zv::Table& trains = main->records().Trains();
    trains.insertValues({{"Train", 2},
                         {"Time", base},
                         {"Wagon", "12345678"},
                         {"Weight", 60000},
                         {"Direc", 0},
                         {"Note", 1},
                         {"Axle", 4}});
    trains.flush();
    show(2);
    main->controls().DBG1->setCurrentIndex(main->controls().DBG1->model()->index(0, 1));
    zv::ModalScript script;  // the operator cancels the processing window
    main->controls().But1->click();
    EXPECT_EQ(script.shown(), QStringList{"WPro"});
    EXPECT_FALSE(main->records().Wagons().findKey("12345678"));
}

// The operator picks a train by typing its number into the selector, steps with the arrows
// and deletes the train typed, all with the mouse and the keyboard.
TEST_F(TrainList, TheSelectorIsWorkedByMouseAndKeys) {
    addTrains({3, 5, 8});
    show(8);
    const MainControls& c = main->controls();
    zv::test::typeInto(main->LIEtr(), "5");
    EXPECT_TRUE(main->LIEtr()->hasFocus());
    zv::test::click(c.But11);
    EXPECT_EQ(app.messages.texts(), QStringList{"Выбран состав5"});
    EXPECT_EQ(filter(), "Train=5");

    zv::test::click(c.SpinBut1Up);
    EXPECT_EQ(selected(), 8);
    zv::test::click(c.SpinBut1Down);
    zv::test::click(c.SpinBut1Down);
    EXPECT_EQ(selected(), 3);

    zv::test::typeInto(main->LIEtr(), "5");
    zv::test::click(c.But11);
    app.messages.clear();
    app.messages.answerYes();  // "Удалить состав?"
    zv::test::click(c.But11);
    EXPECT_EQ(app.messages.texts(), QStringList{"Удалить состав?"});
    EXPECT_EQ(rowsOf(5), 0);
    EXPECT_EQ(rowsOf(3), 2);
    EXPECT_EQ(rowsOf(8), 2);
    EXPECT_EQ(selected(), 3);
}

}  // namespace
