#include <gtest/gtest.h>

#include <QApplication>
#include <QTableView>
#include <QToolButton>

#include "app/app_fixture.h"
#include "link/frame_encoder.h"
#include "link/pty_pair.h"  // the link tests' converter side of a pseudo-terminal
#include "records/table.h"
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
    zv::Settings scale = zv::test::testScale();
    scale.Params = zv::params::ShowRawDataPanel;
    app.writeSettings(scale);
    TMain& main = app.start();
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

// Frames of a simulated train go through a pseudo-terminal named in the settings file, the
// tick reads them, and the train ends up in the table.
TEST(Storage, TrainArrivingOnTheSerialLineIsStored) {
    zv::test::PtyPair pty;
    AppFixture app;
    zv::Settings scale = zv::test::testScale();
    scale.Port = pty.slaveName();
    scale.Connect = true;
    app.writeSettings(scale);
    TMain& main = app.start();
    ASSERT_TRUE(main.link().isOpen()) << app.messages.texts().join('|').toStdString();

    std::vector<unsigned char> chunk;
    const auto flush = [&] {
        pty.send(chunk);
        chunk.clear();
        QApplication::processEvents();
        main.Timer1Timer();
    };
    for (const auto& sample : zv::test::trainSamples(main.settings(), 2)) {
        const auto frame = zv::encodeFrame(sample, scale.Nadc, scale.Npl, 0, false);
        chunk.insert(chunk.end(), frame.begin(), frame.end());
        if (chunk.size() >= 23 * 40) flush();
    }
    flush();
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

}  // namespace
