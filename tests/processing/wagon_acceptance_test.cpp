#include "processing/wagon_acceptance.h"

#include <gtest/gtest.h>

#include <memory>

#include "processing_fixture.h"
#include "records/table_error.h"

namespace zv::test {
namespace {

const QString kWeightError = QStringLiteral(
    "Этот вагон взвешен с ошибкой (вес меньше минимального или больше максимального)!");
const QString kAcceptQuestion =
    QStringLiteral("Результат взвешивания может быть не точным\r\nПринять этот вагон?");
const QString kReleaseQuestion =
    QStringLiteral("Результат взвешивания может быть не точным\r\nОтпустить этот вагон?");

class WagonAcceptanceTest : public ::testing::Test {
  protected:
    ProcessingFixture f;
    FakeWindow window;
    int operatorNumber = 3;
    WagonAcceptance acceptance{*f.records, window, [this] { return operatorNumber; }};

    WagonAcceptanceTest() { window.wagons = &f.wagons(); }

    // Window step of an acceptance: the entry load, and documents when loaded.
    void acceptWith(int load) {
        window.fill = [this, load](ProcessingMode) {
            f.wagons().edit();
            f.wagons().setValue("Load", load);
            f.wagons().setValue("Station", 1);
            f.wagons().setValue("Client", 1);
            f.wagons().setValue("Doc", "D-100");
        };
    }

    void acceptInMotion(int train, const QString& wagon, int weight, int load) {
        f.addTrainRow(train, wagon, weight);
        acceptWith(load);
        acceptance.But1Click(false);
    }

    void releaseInMotion(int train, const QString& wagon, int weight, int exitLoad) {
        f.addTrainRow(train, wagon, weight);
        window.fill = nullptr;
        window.exit = exitLoad;
        acceptance.But2Click(false, false);
    }

    QVariant bookValue(const char* field) {
        f.book().last();
        return f.book().value(field);
    }
};

// The checks of the train-list row, in order, with the gate on its state.
TEST_F(WagonAcceptanceTest, DynamicAcceptanceChecksTheTrainRowInOrder) {
    struct Case {
        const char* what;
        QVariant wagon;
        QVariant weight;
        int note;
        bool allowProblems;
        std::vector<bool> answers;
        QString message;  // empty: none
        bool accepted;
    };
    const QString k1 = QStringLiteral("12345674");
    const std::vector<Case> cases = {
        {"weight at Wmin", k1, 1000, 1, false, {}, {}, true},
        {"weight at Wmax", k1, 200000, 1, false, {}, {}, true},
        {"one kg below Wmin", k1, 999, 1, false, {}, kWeightError, false},
        {"one kg above Wmax", k1, 200001, 1, false, {}, kWeightError, false},
        {"no weight", k1, QVariant(), 1, false, {}, kWeightError, false},
        {"weight checked before the number", QVariant(), 999, 1, false, {}, kWeightError, false},
        {"no number", QVariant(), 50000, 1, false, {}, "Введите в таблицу номер вагона!", false},
        {"processed", k1, 50000, 0, false, {}, "Этот вагон уже обработан!", false},
        {"locomotive", k1, 50000, 3, true, {}, {}, false},
        {"problem, option off", k1, 50000, 4, false, {}, {}, false},
        {"problem, option on, No", k1, 50000, 5, true, {false}, kAcceptQuestion, false},
        {"problem, option on, Yes", k1, 50000, 6, true, {true}, kAcceptQuestion, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.messages.clear();
        for (bool yes : c.answers) yes ? f.messages.answerYes() : f.messages.answerNo();
        f.settings.Params = c.allowProblems ? params::AllowProblemWagons : 0;
        window.opened.clear();
        f.addTrainRow(1, c.wagon, c.weight, c.note);
        acceptWith(0);

        acceptance.But1Click(false);

        if (c.message.isEmpty())
            EXPECT_TRUE(f.messages.texts().isEmpty()) << f.messages.texts().join('|').toStdString();
        else
            EXPECT_EQ(f.messages.texts(), QStringList{c.message});
        EXPECT_EQ(window.opened.size(), c.accepted ? 1u : 0u);
        EXPECT_EQ(f.wagonRows(), c.accepted ? 1 : 0);
        f.trains().last();
        EXPECT_EQ(f.trains().toInt("Note"), c.accepted ? 0 : c.note);
        if (c.accepted) {
            f.wagons().first();
            EXPECT_EQ(f.wagons().toInt("WNote"), c.note == 1 ? 1 : 2);
            f.wagons().remove();
        }
    }
}

TEST_F(WagonAcceptanceTest, DynamicAcceptanceFillsTheWagonRowFromTheTrainRow) {
    f.addTrainRow(7, "51234565", 61230, 1, -420);
    f.trains().edit();
    f.trains().setValue("DisS", 35);
    f.trains().post();
    const QVariant time = f.trains().value("Time");
    acceptWith(5);

    acceptance.But1Click(false);

    ASSERT_EQ(window.opened, std::vector<ProcessingMode>{ProcessingMode::DynamicAcceptance});
    ASSERT_TRUE(f.wagons().findKey("51234565"));
    Table& w = f.wagons();
    EXPECT_EQ(w.value("Time"), time);
    EXPECT_EQ(w.toInt("Train"), 7);
    EXPECT_EQ(w.toInt("Weight"), 61230);
    EXPECT_EQ(w.toInt("WNote"), 1);
    EXPECT_EQ(w.toInt("Name"), 3);
    EXPECT_EQ(w.toInt("WeiL"), -420);
    EXPECT_EQ(w.toInt("BaseW"), 8650);
    EXPECT_EQ(w.toInt("BsNote"), 4);
    EXPECT_EQ(w.toInt("DisS"), 35);
    EXPECT_EQ(w.toInt("Load"), 5);
    EXPECT_TRUE(w.isNull("Wei2"));
    EXPECT_TRUE(w.isNull("TareW"));

    f.messages.clear();
    acceptance.But1Click(false);  // the same row again
    EXPECT_EQ(f.messages.texts(), QStringList{"Этот вагон уже обработан!"});

    f.messages.clear();
    f.addTrainRow(8, "51234565", 30000);
    acceptance.But1Click(false);
    EXPECT_EQ(f.messages.texts(), QStringList{"Вагон № 51234565 уже есть на территории!"});
    EXPECT_EQ(window.opened.size(), 1u);
}

// The two worked examples, a transit and the release without tare, all through the
// train list.
TEST_F(WagonAcceptanceTest, DynamicReleaseWritesTheBookRow) {
    struct Case {
        const char* what;
        int entryLoad;  // -1: the wagon is not on the territory
        int first;
        int second;
        int exitLoad;
        QVariant brut, tare;
        int nett, dir, load;
    };
    const std::vector<Case> cases = {
        {"leaves empty", 3, 60000, 22000, 0, 60000, 22000, 38000, 0, 3},
        {"leaves loaded", 0, 23000, 70000, 5, 70000, 23000, 47000, 1, 5},
        {"transit, empty", 0, 23000, 23100, 0, 23000, 23100, -100, 2, 0},
        {"not on the territory, leaves empty", -1, 0, 22500, 0, QVariant(), 22500, 0, 2, 0},
    };
    int train = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString number = QString::number(52000000 + train);
        if (c.entryLoad >= 0) acceptInMotion(train++, number, c.first, c.entryLoad);
        operatorNumber = 4;
        releaseInMotion(train++, number, c.second, c.exitLoad);
        operatorNumber = 3;

        EXPECT_FALSE(f.wagons().findKey(number));
        f.trains().last();
        EXPECT_EQ(f.trains().toInt("Note"), 0);
        f.book().last();
        Table& b = f.book();
        EXPECT_EQ(b.value("Wagon").toString(), number);
        EXPECT_EQ(b.toInt("Dir"), c.dir);
        EXPECT_EQ(b.toInt("Load"), c.load);
        EXPECT_EQ(b.toInt("Train2"), train - 1);
        EXPECT_EQ(b.value("Time2"), f.trains().value("Time"));
        EXPECT_EQ(b.toInt("Name2"), 4);
        EXPECT_EQ(b.value("Brut"), c.brut);
        EXPECT_EQ(b.value("Tare"), c.tare);
        if (c.entryLoad < 0) {
            EXPECT_TRUE(b.isNull("Time1"));
            EXPECT_TRUE(b.isNull("Train1"));
            EXPECT_TRUE(b.isNull("Name1"));
            EXPECT_TRUE(b.isNull("BNote"));
            EXPECT_EQ(b.toInt("TNote"), 1);
        } else {
            EXPECT_EQ(b.toInt("Nett"), c.nett);
            EXPECT_EQ(b.toInt("Train1"), train - 2);
            EXPECT_EQ(b.toInt("Name1"), 3);
            EXPECT_EQ(b.toInt("BNote"), 1);
            EXPECT_EQ(b.toInt("TNote"), 1);
            EXPECT_EQ(b.toInt("Station"), 1);
        }
    }
    EXPECT_EQ(f.book().recordCount(), 4);
}

TEST_F(WagonAcceptanceTest, BothReleaseButtonsAreOneOnTheDynamicPage) {
    acceptInMotion(1, "1001", 60000, 3);
    f.addTrainRow(2, "1001", 22000);
    window.fill = nullptr;
    window.exit = 0;
    acceptance.But2Click(false, true);  // "Отпустить без тары" for a wagon on the territory
    EXPECT_EQ(bookValue("Time1"), QVariant(QDateTime(QDate(2026, 12, 9), QTime(8, 1))));
    EXPECT_EQ(bookValue("Nett").toInt(), 38000);

    // A release without tare of a wagon that leaves loaded: no Tare, net from TareD.
    f.addTrainRow(3, "1002", 70000);
    window.exit = 5;
    window.fill = [this](ProcessingMode) { f.wagons().setValue("TareD", 24000); };
    acceptance.But2Click(false, false);
    EXPECT_TRUE(bookValue("Tare").isNull());
    EXPECT_EQ(bookValue("Brut").toInt(), 70000);
    EXPECT_EQ(bookValue("Nett").toInt(), 46000);
    EXPECT_EQ(bookValue("Dir").toInt(), 1);
}

TEST_F(WagonAcceptanceTest, DynamicReleaseHasItsOwnQuestionAndKeepsTheMethodOfAProblemRow) {
    acceptInMotion(1, "1001", 60000, 3);
    f.settings.Params = params::AllowProblemWagons;
    f.addTrainRow(2, "1001", 22000, 5);
    window.fill = nullptr;
    window.exit = 0;
    f.messages.answerNo();
    acceptance.But2Click(false, false);
    EXPECT_EQ(f.messages.texts(), QStringList{kReleaseQuestion});
    EXPECT_TRUE(f.wagons().findKey("1001"));

    f.messages.answerYes();
    acceptance.But2Click(false, false);
    EXPECT_FALSE(f.wagons().findKey("1001"));
    EXPECT_EQ(bookValue("TNote").toInt(), 2);

    f.messages.clear();
    f.addTrainRow(3, "1003", 22000, 3);
    acceptance.But2Click(false, false);  // a locomotive: nothing, silently
    EXPECT_TRUE(f.messages.texts().isEmpty());
    EXPECT_EQ(f.book().recordCount(), 1);
}

TEST_F(WagonAcceptanceTest, CancellingLeavesNoRowMadeForTheAttempt) {
    window.confirm = false;
    acceptWith(3);
    f.addTrainRow(1, "1001", 60000);
    acceptance.But1Click(false);
    EXPECT_EQ(f.wagonRows(), 0);
    f.trains().last();
    EXPECT_EQ(f.trains().toInt("Note"), 1);

    acceptance.But1Click(true);  // static acceptance
    EXPECT_EQ(f.wagonRows(), 0);

    f.addTrainRow(2, "1002", 22000);
    acceptance.But2Click(false, false);  // release without tare
    acceptance.But2Click(true, true);    // static, without tare
    EXPECT_EQ(f.wagonRows(), 0);
    EXPECT_EQ(f.book().recordCount(), 0);

    // A wagon on the territory stays exactly as it was: what was typed for it is discarded.
    window.confirm = true;
    acceptInMotion(3, "1003", 60000, 3);
    window.confirm = false;
    window.fill = [this](ProcessingMode) { f.wagons().setValue("Note", "пломба"); };
    f.addTrainRow(4, "1003", 22000);
    acceptance.But2Click(false, false);
    ASSERT_TRUE(f.wagons().findKey("1003"));
    EXPECT_TRUE(f.wagons().isNull("Wei2"));
    EXPECT_TRUE(f.wagons().isNull("Note"));
    EXPECT_EQ(f.wagons().state(), Table::State::Browse);
    EXPECT_EQ(f.book().recordCount(), 0);
}

TEST_F(WagonAcceptanceTest, StaticAcceptanceAndReleaseOfAWagon) {
    window.fill = [this](ProcessingMode mode) {
        Table& w = f.wagons();
        EXPECT_EQ(w.state(), mode == ProcessingMode::StaticAcceptance ? Table::State::Browse
                                                                      : Table::State::Edit);
        w.edit();
        if (mode == ProcessingMode::StaticAcceptance) {
            EXPECT_EQ(w.value("Wagon").toString(), "N");
            w.setValue("Wagon", "777");
            w.setValue("Weight", 23000);
            w.setValue("WNote", 0);
            w.setValue("Load", 0);
            w.setValue("Name", 3);
        } else {
            EXPECT_TRUE(w.isNull("Wei2"));
            w.setValue("Wei2", 70000);
        }
    };
    acceptance.But1Click(true);
    ASSERT_TRUE(f.wagons().findKey("777"));
    EXPECT_EQ(f.wagons().toInt("Weight"), 23000);

    window.exit = 5;
    window.train2 = 12;
    operatorNumber = 6;
    acceptance.But2Click(true, false);
    EXPECT_EQ(f.wagonRows(), 0);
    EXPECT_EQ(bookValue("Brut").toInt(), 70000);
    EXPECT_EQ(bookValue("BNote").toInt(), 0);
    EXPECT_EQ(bookValue("Tare").toInt(), 23000);
    EXPECT_EQ(bookValue("Nett").toInt(), 47000);
    EXPECT_EQ(bookValue("Train2").toInt(), 12);
    EXPECT_EQ(bookValue("Name2").toInt(), 6);
    EXPECT_EQ(bookValue("Time2"), QVariant(f.clock.time));
    EXPECT_EQ(window.opened,
              (std::vector{ProcessingMode::StaticAcceptance, ProcessingMode::StaticRelease}));

    // The book row is on disk once the attempt is over.
    RecordsDatabase second(f.settings, f.programDir, f.clock, f.notifier);
    second.DBOpen();
    second.Book().last();
    EXPECT_EQ(second.Book().toInt("Brut"), 70000);
}

TEST_F(WagonAcceptanceTest, StaticReleaseWithNoWagonOnTheTerritoryRefusesAtOnce) {
    acceptance.But2Click(true, false);
    EXPECT_EQ(f.messages.texts(), QStringList{"Нет вагонов на территории"});
    EXPECT_TRUE(window.opened.empty());
    EXPECT_EQ(f.wagonRows(), 0);
}

// A refusal of the engine after confirmation must neither lose the wagon nor leave the
// placeholder behind.
TEST_F(WagonAcceptanceTest, AnEngineRefusalLeavesTheTablesWhole) {
    acceptInMotion(1, "1001", 60000, 3);
    window.fill = [this](ProcessingMode) {
        f.wagons().edit();
        f.wagons().setValue("Wagon", "1001");  // taken: the post is refused
        f.wagons().setValue("Weight", 23000);
    };
    acceptance.But1Click(true);
    ASSERT_EQ(f.messages.texts().size(), 1);
    EXPECT_EQ(f.messages.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(f.wagonRows(), 1);
    EXPECT_FALSE(f.wagons().findKey("N"));
    ASSERT_TRUE(f.wagons().findKey("1001"));
    EXPECT_EQ(f.wagons().toInt("Weight"), 60000);

    // The book cannot take the row: the wagon stays on the territory, its train row unprocessed.
    f.messages.clear();
    f.book().close();
    releaseInMotion(2, "1001", 22000, 0);
    EXPECT_EQ(f.messages.texts().size(), 1);
    EXPECT_TRUE(f.wagons().findKey("1001"));
    f.trains().last();
    EXPECT_EQ(f.trains().toInt("Note"), 1);
}

TEST_F(WagonAcceptanceTest, ALeftoverPlaceholderIsRemovedFirst) {
    f.wagons().insertValues({{"Wagon", "N"}});
    acceptWith(0);
    f.addTrainRow(1, "1001", 30000);
    acceptance.But1Click(false);
    EXPECT_FALSE(f.wagons().findKey("N"));
    EXPECT_EQ(f.wagonRows(), 1);
}

TEST(ReleaseDirection, FollowsTheLoads) {
    EXPECT_EQ(releaseDirection(0, 0), 2);
    EXPECT_EQ(releaseDirection(5, 5), 2);
    EXPECT_EQ(releaseDirection(0, 5), 1);
    EXPECT_EQ(releaseDirection(5, 0), 0);
}

}  // namespace
}  // namespace zv::test
