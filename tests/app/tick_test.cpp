#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>

#include "app/app_fixture.h"

namespace {

using zv::test::AppFixture;

// Feeds the samples of a train until the engine sees it start.
void startTrain(TMain& main, const AppFixture& app) {
    for (const auto& sample : zv::test::trainSamples(main.settings(), 2)) {
        main.engine().feed(sample, app.clock);
        if (main.engine().trainInProgress()) return;
    }
    FAIL() << "the simulated train never started";
}

TEST(Tick, EndsTheTrainStrictlyAfterTheWaitAcrossTheWrapOfTheTick) {
    AppFixture app;
    TMain& main = app.start();
    app.clock = 0xFFFFFF00u;
    startTrain(main, app);
    EXPECT_FALSE(main.controls().P13->isHidden());
    const uint32_t last = main.engine().LastAxleTick();
    const uint32_t wait = static_cast<uint32_t>(main.settings().tTrEnd);
    ASSERT_LT(last + wait, last) << "the wait must cross the wrap for this test";

    app.clock = last + wait;
    main.Timer1Timer();
    EXPECT_TRUE(main.engine().trainInProgress()) << "exactly tTrEnd does not end the train";

    app.clock = last + wait + 1;
    main.Timer1Timer();
    EXPECT_FALSE(main.engine().trainInProgress());
    EXPECT_TRUE(main.controls().P13->isHidden());
    EXPECT_TRUE(main.controls().Panel3->isEnabled());
}

class Replay : public ::testing::Test {
  protected:
    void SetUp() override {
        app.start([&](zv::Settings& s) {
            s.Params = zv::params::ShowRawDataPanel | zv::params::ShowDebugColumns;
        });
    }
    const MainControls& c() { return app.main().controls(); }
    std::string file(const QString& name) { return (app.folder() + name).toStdString(); }

    AppFixture app;
};

TEST_F(Replay, ReplaysTheWholeFileInOneTickAndStopsAtItsEnd) {
    zv::test::writeTrainFile(app.main().settings(), 2, file("w401.dat"));
    const auto records = QFile(QString::fromStdString(file("w401.dat"))).size() / 18;
    c().SBut11->click();
    ASSERT_TRUE(app.main().rawData().Replaying());
    app.main().Timer1Timer();
    EXPECT_FALSE(app.main().rawData().Replaying());
    EXPECT_FALSE(c().SBut11->isChecked());
    EXPECT_EQ(c().La5->text(), QString::number(records));
    EXPECT_FALSE(app.main().engine().trainInProgress());
}

TEST_F(Replay, MissingFilePopsTheButtonUp) {
    c().LE1->setText("none.dat");
    c().SBut11->click();
    EXPECT_FALSE(c().SBut11->isChecked());
    EXPECT_FALSE(app.main().rawData().Replaying());
}

TEST_F(Replay, PausedReplayStepsOneRecordPerContinueAndHoldsTheTrainOpen) {
    zv::test::writeTrainFile(app.main().settings(), 1, file("w401.dat"));
    c().SBa2->setChecked(false);
    c().SBut11->click();
    app.main().Timer1Timer();
    EXPECT_EQ(app.main().rawData().ReplayCnt, 0);
    c().SBa1->click();
    app.main().Timer1Timer();
    c().SBa1->click();
    app.main().Timer1Timer();
    EXPECT_EQ(app.main().rawData().ReplayCnt, 2);

    app.clock += 1000000;
    app.main().Timer1Timer();
    EXPECT_EQ(app.main().engine().LastAxleTick(), app.clock);
}

TEST_F(Replay, RecordingAndReplayNeverShareTheFile) {
    zv::test::writeTrainFile(app.main().settings(), 1, file("w401.dat"));
    c().SBut11->click();
    c().SBut12->click();
    EXPECT_FALSE(c().SBut12->isChecked());
    EXPECT_FALSE(app.main().rawData().Recording());
    c().SBut11->click();  // stop the replay

    c().LE1->setText("rec.dat");
    c().SBut12->click();
    ASSERT_TRUE(app.main().rawData().Recording());
    c().SBut11->click();
    EXPECT_FALSE(c().SBut11->isChecked());
    EXPECT_FALSE(app.main().rawData().Replaying());
}

TEST_F(Replay, RecordingWithoutAFileNameAsksForOne) {
    c().LE1->clear();
    c().SBut12->click();
    EXPECT_FALSE(c().SBut12->isChecked());
    EXPECT_FALSE(app.main().rawData().Recording());
    EXPECT_EQ(c().StatusLine->currentMessage(), "Введите имя файла");
}

}  // namespace
