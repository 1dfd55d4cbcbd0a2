#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <chrono>

#include "engine/engine_observer.h"
#include "engine/stored_train.h"
#include "records/train_storage.h"
#include "release_row.h"
#include "replay_train.h"
#include "ui/tlie_edit.h"
#include "w_pro_fixture.h"

namespace zv::test {
namespace {

// A train weighed in motion, stored as the main window stores it, with `weights` per wagon.
int storeTrain(ProcessingFixture& f, std::initializer_list<int> weights, int weiL = 0) {
    StoredTrain train;
    WallTime time =
        WallTime(std::chrono::hours(24 * 365 * 56)) + std::chrono::minutes(f.trainTime += 10);
    for (int w : weights) {
        StoredWagonRow row;
        row.Time = time += std::chrono::seconds(5);
        row.Weight = w;
        row.Axle = 4;
        row.BaseW = 8650;
        row.WeiL = weiL;
        train.rows.push_back(row);
    }
    const int n = StoreTrain(*f.records, train);
    f.records->setSelectedTrain(n);
    f.records->showSelectedTrain();
    return n;
}

// The operator types the wagon number into the first row of the selected train.
void typeWagonNumber(ProcessingFixture& f, const QString& number) {
    f.trains().first();
    f.trains().edit();
    f.trains().setValue("Wagon", number);
    f.trains().post();
}

// A wagon of 64 t accepted with load 5 and a filled waybill, waiting for its release;
// `more` adds or overrides fields.
void insertAcceptedWagon(ProcessingFixture& f, const QString& wagon,
                         const QList<std::pair<QString, QVariant>>& more = {}) {
    const QList<std::pair<QString, QVariant>> values = {{"Wagon", wagon}, {"Weight", 64000},
                                                        {"Load", 5},      {"Station", 1},
                                                        {"Client", 1},    {"Doc", "ABC"}};
    f.wagons().insertValues(values + more);
}

class WProTest : public ::testing::Test, public WProFixture {};

TEST_F(WProTest, RoadOfAWagonWeighedInMotion) {
    const int first = replayTrain(*records, {61000});
    trains().first();
    const int firstWeight = trains().toInt("Weight");
    ASSERT_NEAR(firstWeight, 61000, 500);
    typeWagonNumber(*this, "51234565");
    ModalScript script;
    script.then([this, firstWeight](QDialog& d) {
        EXPECT_EQ(find<QComboBox>(d, "CBox1")->currentText(),
                  "Прием вагона, взвешенного в движении");
        EXPECT_FALSE(find<QLineEdit>(d, "DBE1")->isEnabled());
        EXPECT_EQ(find<QLineEdit>(d, "DBE10")->text(), QString::number(firstWeight));
        describeLoad(d, "LCBoxL", 5);
        EXPECT_EQ(find<QLabel>(d, "La1")->text(), "Брутто");
        click(d, "But1");
    });
    acceptance.But1Click(false);

    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    ASSERT_TRUE(wagons().findKey("51234565"));
    EXPECT_EQ(wagons().toInt("Load"), 5);
    EXPECT_EQ(wagons().toInt("Station"), 1);
    EXPECT_EQ(wagons().toInt("Client"), 1);
    EXPECT_EQ(wagons().value("Doc").toString(), "D-123");
    EXPECT_EQ(wagons().toInt("Train"), first);
    EXPECT_EQ(wagons().toInt("Weight"), firstWeight);
    EXPECT_EQ(wagons().toInt("Name"), 2);
    const QVariant acceptedWeiL = wagons().value("WeiL");
    trains().first();
    EXPECT_EQ(trains().toInt("Note"), 0);
    EXPECT_EQ(host.detached, 0);

    const int second = replayTrain(*records, {22000});
    trains().first();
    const int secondWeight = trains().toInt("Weight");
    const QVariant weiLNow = trains().value("WeiL");
    typeWagonNumber(*this, "51234565");
    host.operatorNumber = 4;
    script.then([this](QDialog& d) {
        EXPECT_EQ(find<QComboBox>(d, "CBox1")->currentIndex(), 1);
        EXPECT_EQ(find<LookupBox>(d, "LCBoxL1")->keyValue(), 0);  // came loaded: leaves empty
        EXPECT_EQ(find<QLineEdit>(d, "E3")->text(), "D-123");
        EXPECT_EQ(find<QLabel>(d, "La2")->text(), "Тара");
        click(d, "But6");
        click(d, "But1");
    });
    acceptance.But2Click(false, false);

    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_FALSE(wagons().findKey("51234565"));
    book().last();
    Table& b = book();
    expectReleaseRow(b, {.brut = firstWeight,
                         .tare = secondWeight,
                         .load = 5,
                         .dir = 0,
                         .name1 = 2,
                         .name2 = 4,
                         .train1 = first,
                         .train2 = second});
    EXPECT_FALSE(b.isNull("Time1"));
    EXPECT_GT(b.value("Time2").toDateTime(), b.value("Time1").toDateTime());
    EXPECT_EQ(b.value("WeiL"), motionLoadImbalance(5, 0, weiLNow, acceptedWeiL));
    EXPECT_TRUE(b.isNull("DisS"));
    trains().first();
    EXPECT_EQ(trains().toInt("Note"), 0);
}

TEST_F(WProTest, OnePlatformWeighsBogieByBogieAndIgnoresLightReadings) {
    settings.Npl = 0;
    ModalScript script;
    script.then([this](QDialog& d) {
        EXPECT_EQ(find<QComboBox>(d, "CBox1")->currentIndex(), 2);
        choose(d, "LCBoxL", 0);
        weigh(d, 999);
        EXPECT_EQ(find<QLabel>(d, "LaT")->text(), "Первая тележка");
        weigh(d, 12000);
        EXPECT_EQ(find<QLabel>(d, "LaT")->text(), "Вторая тележка");
        EXPECT_EQ(find<TLIEdit>(d, "LIEt")->Val(), 12000);
        EXPECT_TRUE(wagons().isNull("Weight"));
        weigh(d, 11500);
        EXPECT_EQ(wagons().toInt("Weight"), 23500);
        type(d, "DBE1", "777");
        click(d, "But1");
    });
    acceptance.But1Click(true);
    ASSERT_TRUE(wagons().findKey("777"));
    EXPECT_EQ(wagons().toInt("Weight"), 23500);
    EXPECT_EQ(wagons().toInt("WNote"), 0);
    EXPECT_EQ(wagons().toInt("Name"), 2);
    EXPECT_EQ(wagons().value("Time"), QVariant(clock.time));
    EXPECT_EQ(host.detached, 1);
    EXPECT_EQ(host.restored, 1);
    EXPECT_TRUE(trains().filtered());
}

TEST_F(WProTest, AStaticWeighingStoresTheEnteredBaseFromThreeMetres) {
    settings.Params = params::ShowGravityOffsets;
    for (auto [base, stored] : {std::pair{2999, QVariant()}, std::pair{3000, QVariant(3000)}}) {
        SCOPED_TRACE(base);
        ModalScript script;
        script.then([&, base = base](QDialog& d) {
            auto* source = find<QComboBox>(d, "CBox2");
            source->setCurrentIndex(1);
            emit source->activated(1);
            find<TLIEdit>(d, "LIEb")->setVal(base);
            choose(d, "LCBoxL", 0);
            host.reading = {30000, 16000, 14000, 12};
            click(d, "But8");
            type(d, "DBE1", QString::number(base));
            click(d, "But1");
        });
        acceptance.But1Click(true);
        ASSERT_TRUE(wagons().findKey(QString::number(base)));
        EXPECT_EQ(wagons().value("BaseW"), stored);
        EXPECT_EQ(wagons().toInt("BsNote"), 1);
        EXPECT_EQ(wagons().toInt("WeiL"), 2000);
        EXPECT_EQ(wagons().toInt("DisS"), 12);
    }
}

// With the converter's link lost the reading at rest is the last one before the loss: it is
// refused with a word, and taken once the link is back.
TEST_F(WProTest, AWeighingAtRestWaitsForTheLink) {
    ModalScript script;
    script.then([&](QDialog& d) {
        choose(d, "LCBoxL", 0);
        host.reading = {30000, 16000, 14000, 12, false};
        click(d, "But8");
        EXPECT_EQ(messages.texts(), QStringList{"Нет связи с весами: взвесить нельзя"});
        EXPECT_TRUE(wagons().isNull("Weight"));
        host.reading.live = true;
        click(d, "But8");
        EXPECT_EQ(wagons().toInt("Weight"), 30000);
    });
    acceptance.But1Click(true);
    EXPECT_EQ(script.shown(), QStringList{"WPro"});
}

// The train numbers of the static train markers, in key order.
QList<int> staticMarkers(ProcessingFixture& f) {
    QList<int> found;
    f.trains().setFilter("Direc = NULL");
    for (const Row& row : f.trains().readFilteredRows()) found.append(row.toInt("Train"));
    f.trains().setFilter(QString("Train=%1").arg(f.records->selectedTrain()));
    return found;
}

// The train number a static weighing goes under: the wagon's train on acceptance, the
// second weighing's train on release.
int offeredTrain(QDialog& d, bool release) {
    return release ? find<TLIEdit>(d, "LIEtr2")->Val() : find<QLineEdit>(d, "DBE4")->text().toInt();
}

// After a train weighed in motion numbered 7, the first wagon weighed at rest goes under 8
// and leaves a marker 8; the next reuses it; "Новый состав" offers 9 and replaces the marker.
TEST(WProStaticTrain, MarkerAndNewTrainInBothStaticModes) {
    for (const bool release : {false, true}) {
        SCOPED_TRACE(release ? "release" : "acceptance");
        WProFixture f;
        storeTrain(f, {50000, 50000, 50000, 50000, 50000, 50000, 50000});  // train 1
        for (int i = 0; i < 6; ++i) storeTrain(f, {50000});                // trains 2 to 7
        auto weighAtRest = [&](const QString& number, int offered, bool newTrainShown,
                               bool pressNewTrain) {
            ModalScript script;
            script.then([&](QDialog& d) {
                EXPECT_EQ(offeredTrain(d, release), offered);
                EXPECT_EQ(find<QPushButton>(d, "But7")->isVisibleTo(&d), newTrainShown);
                if (pressNewTrain) {
                    click(d, "But7");
                    EXPECT_EQ(offeredTrain(d, release), offered + 1);
                    EXPECT_FALSE(find<QPushButton>(d, "But7")->isEnabled());
                }
                if (!release) {
                    choose(d, "LCBoxL", 0);
                    type(d, "DBE1", number);
                }
                f.weigh(d, 25000);
                click(d, "But1");
            });
            if (release) {
                insertAcceptedWagon(f, number);
                f.wagons().findKey(number);
            }
            if (release)
                f.acceptance.But2Click(true, false);
            else
                f.acceptance.But1Click(true);
        };
        // The train each wagon went under: the wagon row, or the book row of its release.
        auto trainOf = [&](const QString& number) {
            if (!release) return f.wagons().findKey(number) ? f.wagons().toInt("Train") : -1;
            for (const Row& row : f.book().readFilteredRows())
                if (row.value("Wagon").toString() == number) return row.toInt("Train2");
            return -1;
        };
        weighAtRest("1", 8, false, false);
        EXPECT_EQ(staticMarkers(f), QList<int>{8});
        weighAtRest("2", 8, true, false);
        EXPECT_EQ(staticMarkers(f), QList<int>{8});
        weighAtRest("3", 8, true, true);
        EXPECT_EQ(staticMarkers(f), QList<int>{9});
        EXPECT_EQ(trainOf("1"), 8);
        EXPECT_EQ(trainOf("2"), 8);
        EXPECT_EQ(trainOf("3"), 9);
    }
}

TEST_F(WProTest, DoneRefusesInOrderUntilTheWagonIsComplete) {
    wagons().insertValues({{"Wagon", "555"}, {"Weight", 20000}, {"Load", 0}});
    ModalScript script;
    script.then([this](QDialog& d) {
        auto tryDone = [&](const QString& expected) {
            messages.clear();
            click(d, "But1");
            EXPECT_EQ(messages.texts(), QStringList{expected});
            EXPECT_TRUE(d.isVisible());
        };
        tryDone("Необходимо ввести номер вагона!");
        type(d, "DBE1", "555");
        tryDone("Вагон с таким номером уже есть на территории!");
        EXPECT_EQ(find<QLineEdit>(d, "DBE1")->text(), "555");
        type(d, "DBE1", "556");
        tryDone("Необходимы сведения о грузе!");
        choose(d, "LCBoxL", 5);
        tryDone("Необходим вес вагона!");
        weigh(d, 61000);
        tryDone("Необходимо указать станцию!");
        choose(d, "LCBoxS", 1);
        tryDone("Необходимо указать получателя/отправителя!");
        choose(d, "LCBoxC", 0);
        find<QLineEdit>(d, "E3")->setText("12");
        tryDone("Необходимо ввести номер документа!");
        find<QLineEdit>(d, "E3")->setText("123");
        messages.clear();
        click(d, "But1");
        EXPECT_TRUE(messages.texts().isEmpty());
    });
    acceptance.But1Click(true);
    EXPECT_FALSE(wagons().findKey("N"));
    ASSERT_TRUE(wagons().findKey("556"));
    EXPECT_EQ(wagons().toInt("Client"), 0);
    EXPECT_EQ(wagons().value("Doc").toString(), "123");
    EXPECT_TRUE(wagons().findKey("555"));
}

TEST_F(WProTest, ReleaseWithoutSecondWeighingNeedsATare) {
    insertAcceptedWagon(*this, "901", {{"WNote", 0}});
    ModalScript script;
    script.then([this](QDialog& d) {
        EXPECT_EQ(find<LookupBox>(d, "LCBoxL1")->keyValue(), 0);
        messages.clear();
        click(d, "But1");
        EXPECT_EQ(
            messages.texts(),
            QStringList{"Необходим вес тары вагона\r\nЕсли нельзя взвесить, введите вручную!"});
        type(d, "DBE2", "23500");
        messages.clear();
        messages.answerNo();
        click(d, "But1");
        EXPECT_EQ(
            messages.texts(),
            QStringList{
                "Отпустить вагон без взвешивания тары,\r\nиспользуя значение, введенное вручную?"});
        EXPECT_TRUE(d.isVisible());
        messages.answerYes();
        click(d, "But1");
    });
    wagons().findKey("901");
    acceptance.But2Click(true, false);
    EXPECT_FALSE(wagons().findKey("901"));
    book().last();
    EXPECT_EQ(book().toInt("Brut"), 64000);
    EXPECT_TRUE(book().isNull("Tare"));
    EXPECT_EQ(book().toInt("Nett"), 40500);
    EXPECT_TRUE(book().isNull("WeiL"));  // no load computation in this opening
    EXPECT_TRUE(book().isNull("DisS"));
}

TEST_F(WProTest, ExitLoadRules) {
    insertAcceptedWagon(*this, "902");
    ModalScript script;
    script.then([this](QDialog& d) {
        messages.answerNo();
        choose(d, "LCBoxL1", 5);
        EXPECT_EQ(messages.texts(),
                  QStringList{"Вагон выпускается транзитом \r\n(без разгрузки и погрузки)?"});
        EXPECT_EQ(find<LookupBox>(d, "LCBoxL1")->keyValue(), -1);
        EXPECT_FALSE(find<QWidget>(d, "GB2")->isEnabled());
        messages.clear();
        choose(d, "LCBoxL1", 7);
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].startsWith("Если вагон сначала разгружен"));
        EXPECT_EQ(find<LookupBox>(d, "LCBoxL1")->keyValue(), 0);
        EXPECT_TRUE(find<QWidget>(d, "GB2")->isEnabled());
        EXPECT_FALSE(find<QWidget>(d, "GB4")->isEnabled());
        // The tare weighed at rest shows the load's offsets.
        host.reading = {23000, 100, 10100, 0};
        click(d, "But8");
        EXPECT_EQ(find<QStackedWidget>(d, "P4s")->currentWidget(), find<QWidget>(d, "P4"));
        EXPECT_EQ(find<TLIEdit>(d, "LIEwl")->Val(), 10000);
        EXPECT_TRUE(find<TLIEdit>(d, "LIEwl")->styleSheet().contains("255, 128, 128"));
    });
    wagons().findKey("902");
    acceptance.But2Click(true, false);
    ASSERT_TRUE(wagons().findKey("902"));  // cancelled: still on the territory, no second weight
    EXPECT_TRUE(wagons().isNull("Wei2"));
}

// The load's centre of gravity of the second weighing at rest, for a wagon that came empty
// at 23000 kg and leaves loaded; equal weights place no load and the release still completes.
TEST_F(WProTest, LoadCentreOfGravityOfTheSecondWeighingAndItsWarning) {
    const struct {
        StaticReading reading;  // shown weight, platform loads, transverse offset
        int wl, dl, ds;
        bool red;
    } cases[] = {
        {{70000, 39990, 30010, 47}, 9980, 1000, 70, false},
        {{70000, 30000, 40000, 47}, -10000, -1000, 70, true},
        {{23000, 35000, 23000, 47}, 0, 0, 0, false},
    };
    int wagon = 910;
    for (const auto& c : cases) {
        const QString number = QString::number(++wagon);
        SCOPED_TRACE(number.toStdString());
        wagons().insertValues(
            {{"Wagon", number}, {"Weight", 23000}, {"Load", 0}, {"DisS", 0}, {"WeiL", 0}});
        ModalScript script;
        script.then([&](QDialog& d) {
            auto* source = find<QComboBox>(d, "CBox2");
            source->setCurrentIndex(1);
            emit source->activated(1);
            find<TLIEdit>(d, "LIEb")->setVal(9400);
            describeLoad(d, "LCBoxL1", 5);
            host.reading = c.reading;
            click(d, "But8");
            EXPECT_EQ(find<TLIEdit>(d, "LIEwl")->Val(), c.wl);
            EXPECT_EQ(find<TLIEdit>(d, "LIEdl")->Val(), c.dl);
            EXPECT_EQ(find<TLIEdit>(d, "LIEds")->Val(), c.ds);
            EXPECT_EQ(find<TLIEdit>(d, "LIEwl")->styleSheet().contains("255, 128, 128"), c.red);
            click(d, "But1");
        });
        wagons().findKey(number);
        acceptance.But2Click(true, false);
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
        EXPECT_FALSE(wagons().findKey(number)) << "released";
        book().last();
        EXPECT_EQ(book().toInt("Nett"), c.reading.shownWeight - 23000);
        EXPECT_EQ(book().toInt("WeiL"), c.wl);
        EXPECT_EQ(book().toInt("DisS"), c.ds);
    }
}

// Release without tare at rest of a wagon that leaves loaded: the load's centre of gravity
// of this weighing goes into the book.
TEST_F(WProTest, SecondWeighingAtRestOfAWagonLeavingLoaded) {
    settings.Params = params::ShowGravityOffsets;
    ModalScript script;
    script.then([this](QDialog& d) {
        EXPECT_EQ(find<QComboBox>(d, "CBox1")->currentIndex(), 3);
        type(d, "DBE1", "903");
        describeLoad(d, "LCBoxL1", 5);
        weigh(d, 70000);
        EXPECT_EQ(messages.texts(), QStringList{"Сначала введите вес тары!"});
        EXPECT_TRUE(wagons().isNull("Wei2"));
        type(d, "DBE2", "23000");
        host.reading = {70000, 30500, 29500, 15};
        click(d, "But8");
        EXPECT_EQ(wagons().toInt("Wei2"), 70000);
        EXPECT_EQ(find<TLIEdit>(d, "LIEwl")->Val(), 1000);
        EXPECT_EQ(find<TLIEdit>(d, "LIEds")->Val(), 20);
        messages.clear();
        messages.answerYes();  // no first weight: the tare typed by hand
        click(d, "But1");
        EXPECT_EQ(
            messages.texts(),
            QStringList{
                "Отпустить вагон без взвешивания тары,\r\nиспользуя значение, введенное вручную?"});
    });
    acceptance.But2Click(true, true);
    EXPECT_EQ(wagonRows(), 0);
    book().last();
    EXPECT_EQ(book().value("Wagon").toString(), "903");
    EXPECT_EQ(book().toInt("Brut"), 70000);
    EXPECT_EQ(book().toInt("BNote"), 0);
    EXPECT_TRUE(book().isNull("Tare"));
    EXPECT_TRUE(book().isNull("Time1"));
    EXPECT_EQ(book().toInt("Nett"), 47000);
    EXPECT_EQ(book().toInt("WeiL"), 1000);
    EXPECT_EQ(book().toInt("DisS"), 20);
    EXPECT_EQ(book().toInt("Dir"), 1);
    EXPECT_EQ(book().value("Doc").toString(), "D-123");
}

TEST_F(WProTest, CancellingAReleaseWithoutTareAtRestLeavesNothing) {
    ModalScript script;
    script.then([this](QDialog& d) {
        type(d, "DBE1", "904");
        type(d, "DBE2", "23000");
        choose(d, "LCBoxL1", 5);
        weigh(d, 70000);
    });
    acceptance.But2Click(true, true);
    EXPECT_EQ(wagonRows(), 0);
    EXPECT_EQ(book().recordCount(), 0);
}

TEST_F(WProTest, LiveWeightAndMeasuredBaseFollowTheDisplayUntilWeighed) {
    settings.Params = params::ShowGravityOffsets;
    ModalScript script;
    script.then([this](QDialog& d) {
        auto* source = find<QComboBox>(d, "CBox2");
        source->setCurrentIndex(0);
        emit source->activated(0);
        ConditioningDisplay reading;
        reading.ShownWeight = 24560;
        reading.stable = true;
        reading.L3 = 8640;
        window.conditioningReading(reading);
        EXPECT_EQ(find<QLabel>(d, "Lw")->text(), "24560");
        EXPECT_TRUE(find<QLabel>(d, "Lw")->styleSheet().contains("lime"));
        EXPECT_EQ(find<TLIEdit>(d, "LIEb")->Val(), 8640);
        choose(d, "LCBoxL", 0);
        weigh(d, 24560);
        reading.L3 = 9000;
        reading.stable = false;
        window.conditioningReading(reading);
        EXPECT_EQ(find<TLIEdit>(d, "LIEb")->Val(), 8640);  // frozen by the weighing
        EXPECT_TRUE(find<QLabel>(d, "Lw")->styleSheet().contains("yellow"));
        EXPECT_EQ(wagons().toInt("BaseW"), 8640);
        EXPECT_EQ(wagons().toInt("BsNote"), 0);
    });
    acceptance.But1Click(true);
}

TEST_F(WProTest, NumberFieldTakesDigitsOnlyAndFallsBackToThePlaceholder) {
    ModalScript script;
    script.then([this](QDialog& d) {
        auto* number = find<QLineEdit>(d, "DBE1");
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, "12a3");
        EXPECT_EQ(number->text(), "123");
        EXPECT_EQ(wagons().value("Wagon").toString(), "123");
        for (int i = 0; i < 3; ++i) QTest::keyClick(number, Qt::Key_Backspace);
        EXPECT_TRUE(wagons().isNull("Wagon"));
        find<QLineEdit>(d, "DBE2")->setFocus();
        EXPECT_EQ(number->text(), "N");
        EXPECT_TRUE(number->hasFocus());
    });
    acceptance.But1Click(true);
    EXPECT_EQ(wagonRows(), 0);
}

}  // namespace
}  // namespace zv::test
