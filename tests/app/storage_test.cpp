#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

#include "app/app_fixture.h"
#include "link/pty_pair.h"  // the link tests' converter side of a pseudo-terminal
#include "records/table.h"
#include "ui/message_service.h"
#include "ui/tlie_edit.h"

namespace {

using zv::test::AppFixture;

int storedRows(TMain& main) {
    zv::Table& trains = main.records().Trains();
    trains.setFiltered(false);
    const int rows = trains.recordCount();
    main.trainList().showSelected();
    return rows;
}

void feedWholeTrain(TMain& main, uint32_t now, int wagons) {
    for (const auto& sample : zv::test::trainSamples(main.settings(), wagons))
        main.engine().feed(sample, now);
}

TEST(Storage, ReplayedTrainIsStoredAndShownInTheList) {
    AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) { s.Params = zv::params::ShowRawDataPanel; });
    app.messages.clear();
    for (int train = 1; train <= 2; ++train) {
        zv::test::writeTrainFile(main.settings(), 3, (app.folder() + "w401.dat").toStdString());
        main.controls().SBut11->click();
        main.Timer1Timer();
        EXPECT_EQ(main.LIEtr()->Val(), train);
        EXPECT_EQ(main.records().Trains().filter(), QString("Train=%1").arg(train));
        EXPECT_EQ(main.controls().DBG1->model()->rowCount(), 3);
    }
    int checked = 0;
    for (const zv::Row& row : main.records().Trains().readFilteredRows()) {
        EXPECT_NEAR(row.toInt("Weight"), 60000, 100);
        EXPECT_EQ(row.toInt("Note"), 1);
        ++checked;
    }
    EXPECT_EQ(checked, 3);
    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
}

TEST(Storage, ATrainThatCannotBeStoredIsReportedOnceAndTheEngineStillResets) {
    AppFixture app;
    TMain& main = app.start();
    app.messages.clear();
    main.records().connection().closeAll();
    feedWholeTrain(main, app.clock, 2);
    ASSERT_TRUE(main.engine().trainInProgress());
    main.TrainEnd();
    EXPECT_FALSE(main.engine().trainInProgress());
    ASSERT_EQ(app.messages.texts().size(), 1);
    EXPECT_TRUE(app.messages.texts().front().startsWith("Состав не сохранен (вагонов: 2)."));
    EXPECT_TRUE(main.controls().Panel3->isEnabled());
}

// The error box of a tick runs an event loop; the ticks it dispatches must not weigh the
// samples waiting behind the one that failed.
TEST(Storage, TicksWaitWhileABoxOfATickIsOpen) {
    AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) { s.Params = zv::params::ShowRawDataPanel; });
    zv::test::writeTrainFile(main.settings(), 2, (app.folder() + "w401.dat").toStdString());
    feedWholeTrain(main, app.clock, 2);
    ASSERT_TRUE(main.engine().trainInProgress());
    main.records().connection().closeAll();
    main.controls().SBut11->click();  // the replay waits for the next tick
    ASSERT_TRUE(main.rawData().Replaying());
    app.clock += static_cast<uint32_t>(main.settings().tTrEnd) + 1;

    struct NestedTick : zv::MessageResponder {
        TMain* main;
        int boxes = 0;
        int replayedInBox = -1;
        bool respond(const zv::Message&) override {
            if (++boxes > 1) return false;  // the replayed train fails to store too
            main->Timer1Timer();
            replayedInBox = main->rawData().ReplayCnt;
            return false;
        }
    } nested;
    nested.main = &main;
    zv::MessageResponder* previous = zv::Messages::setResponder(&nested);
    main.Timer1Timer();  // ends the train on time-out: it cannot be stored
    zv::Messages::setResponder(previous);
    EXPECT_GE(nested.boxes, 1);
    EXPECT_EQ(nested.replayedInBox, 0);
    EXPECT_GT(main.rawData().ReplayCnt, 0) << "the replay goes on once the box is answered";
}

TEST(Storage, ClosingTheProgramStoresTheTrainInProgress) {
    AppFixture app;
    TMain& main = app.start();
    feedWholeTrain(main, app.clock, 2);
    ASSERT_TRUE(main.engine().trainInProgress());
    main.close();
    EXPECT_FALSE(main.engine().trainInProgress());
    main.records().DBOpen();
    EXPECT_EQ(storedRows(main), 2);
}

// The debug button ends the train in progress at once, as the time-out would; with no
// train it stores nothing.
TEST(Storage, DebugButtonEndsTheTrainAtOnce) {
    AppFixture app;
    TMain& main = app.start();
    app.messages.clear();
    main.showDebugInformation(true);
    QToolButton* trainEnd = main.controls().SBa3;
    ASSERT_TRUE(trainEnd->isVisibleTo(&main));
    trainEnd->click();
    EXPECT_EQ(storedRows(main), 0);

    feedWholeTrain(main, app.clock, 2);
    ASSERT_TRUE(main.engine().trainInProgress());
    trainEnd->click();
    EXPECT_FALSE(main.engine().trainInProgress());
    EXPECT_EQ(main.LIEtr()->Val(), 1);
    EXPECT_EQ(main.controls().DBG1->model()->rowCount(), 2);
    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
}

// A wagon number still in the cell's editor when the program ends reaches the table, as one
// confirmed with Enter does.
TEST(Storage, AWagonNumberBeingTypedAtExitIsStored) {
    for (bool enter : {false, true}) {
        AppFixture app;
        TMain& main = app.start();
        feedWholeTrain(main, app.clock, 2);
        main.TrainEnd();
        zv::test::typeWagonNumber(main, "51234565", enter);
        app.messages.clear();

        TMain& again = app.restart();
        EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
        zv::Table& trains = again.records().Trains();
        trains.setFilter("Train=1");
        trains.first();
        EXPECT_EQ(trains.value("Wagon").toString(), "51234565") << "Enter pressed: " << enter;
    }
}

// Frames of a simulated train go through a pseudo-terminal named in the settings file, the
// tick reads them, and the train ends up in the table.
TEST(Storage, TrainArrivingOnTheSerialLineIsStored) {
    zv::test::PtyPair pty;
    AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Port = pty.slaveName();
        s.Connect = true;
    });
    ASSERT_TRUE(main.link().isOpen()) << app.messages.texts().join('|').toStdString();

    const auto samples = zv::test::trainSamples(main.settings(), 2);
    for (std::size_t at = 0; at < samples.size(); at += 40) {
        pty.send(
            zv::test::frameBytes(main.settings(), samples, at, std::min(at + 40, samples.size())));
        QApplication::processEvents();
        main.Timer1Timer();
    }
    for (int i = 0; i < 20 && main.engine().trainInProgress(); ++i) {
        QApplication::processEvents();
        main.Timer1Timer();
    }
    ASSERT_TRUE(main.engine().trainInProgress());
    app.clock += static_cast<uint32_t>(main.settings().tTrEnd) + 1;
    main.Timer1Timer();
    EXPECT_EQ(main.LIEtr()->Val(), 1);
    EXPECT_EQ(main.controls().DBG1->model()->rowCount(), 2);
}

TEST(Recording, EveryAcceptedFrameIsRecordedAndTheFileIsClosedAtExit) {
    zv::test::PtyPair pty;
    AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Port = pty.slaveName();
        s.Connect = true;
        s.Params = zv::params::ShowRawDataPanel | zv::params::ShowDebugColumns;
    });
    ASSERT_TRUE(main.link().isOpen());
    main.controls().LE1->setText("rec.dat");
    main.controls().SBut12->click();
    ASSERT_TRUE(main.rawData().Recording());

    const auto samples = zv::test::trainSamples(main.settings(), 1);
    std::vector<unsigned char> bytes = zv::test::frameBytes(main.settings(), samples, 0, 30);
    bytes.push_back(0x85);  // a stray byte: rejected, not recorded
    pty.send(bytes);
    QApplication::processEvents();
    main.Timer1Timer();
    main.close();
    EXPECT_FALSE(main.rawData().Recording());
    EXPECT_EQ(QFile(app.folder() + "rec.dat").size(), 30 * 18);
}

}  // namespace
