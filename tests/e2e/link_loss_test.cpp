// The converter's link lost and found again over a real pseudo-terminal: the converter
// falling silent, its cable pulled, the adapter coming back under the same name. The
// program says so once, shows no old weight, keeps the engineer's "Подключить", reopens the
// port by itself and weighs the next train without anyone touching it.

// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/train_simulator.h"
// clang-format off
#include "e2e/converter_line.h"
// clang-format on

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTableView>

#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "records/table.h"
#include "processing/w_pro_actions.h"
#include "support/operator_input.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace {

using zv::test::AppFixture;
using zv::test::ConverterLine;
using zv::test::Passage;

zv::TrainDescription train(int direction) {
    zv::TrainDescription t;
    t.direction = direction;
    t.speed = {8, 6};
    t.emptySeconds = 3;
    for (double mass : {64000.0, 66000.0, 62000.0}) t.vehicles.push_back(zv::makeWagon(4, mass));
    return t;
}

class LinkLoss : public ::testing::Test {
  protected:
    void SetUp() override {
        zv::Settings s = zv::test::testScale();
        s.tflt = 10;
        s.tTrEnd = 4000;
        s.Port = line.portName();
        s.Connect = true;
        app.writeSettings(s);
        main = &app.start();
        ASSERT_TRUE(main->link().isOpen());
        main->show();
        in = zv::test::simulatePassage(s, train(+1));
        line.idle(in, 2000);  // the power-up zero
        app.messages.clear();
    }

    // The converter's messages so far (the box is shown just after the tick).
    QStringList told() {
        QApplication::processEvents();
        return app.messages.texts();
    }
    int logged(const QString& kind) { return zv::Events::installed()->log().countOf(kind); }
    QString shownWeights() const {
        const MainControls& c = main->controls();
        return c.Lw->text() + "|" + c.Lw0->text() + "|" + c.Lw1->text();
    }
    QString shownZero() const { return main->findChild<QLabel*>("LZero")->text(); }
    // Every tick while the link is lost shows "Нет связи", never a number.
    std::function<void()> noStaleWeight() {
        return [this] {
            if (main->linkWatch().isLost()) {
                EXPECT_EQ(shownWeights(), "Нет связи|Нет связи|Нет связи");
                EXPECT_EQ(shownZero(), "") << "no word of a zero without a link";
            }
        };
    }
    int trainsListed() const { return main->controls().DBG1->model()->rowCount(); }

    // The converter comes back: it sends the empty scale until the program reads it, then a
    // whole train, which is stored without a click as the next train.
    void nextTrainIsStoredWithoutAClick(int number) {
        line.idle(in, 2 * zv::LinkWatch::kRetryMs, noStaleWeight());
        ASSERT_FALSE(main->linkWatch().isLost()) << told().join('|').toStdString();
        EXPECT_TRUE(shownWeights().contains(" кг")) << shownWeights().toStdString();
        EXPECT_FALSE(shownZero().isEmpty()) << "the zero's state is shown again with the frames";
        const Passage out = zv::test::simulatePassage(main->settings(), train(-1));
        line.play(out);
        line.idle(in, static_cast<uint32_t>(main->settings().tTrEnd) + 1000);
        EXPECT_EQ(main->LIEtr()->Val(), number);
        EXPECT_EQ(trainsListed(), 3);
        EXPECT_TRUE(main->settings().Connect);
    }

    zv::test::TempDir links;
    AppFixture app;
    ConverterLine line{app, links.path().string() + "/ttyUSB0"};
    TMain* main = nullptr;
    Passage in;
};

// The converter is switched off with the train half across: after a second of silence one
// box, the wagons weighed before are stored and the cut is logged; then its side of the line
// closes (an error within the same loss, no second box). It comes back as a new device under
// the same name, and the program, retrying every five seconds, weighs the next train.
TEST_F(LinkLoss, ConverterSwitchedOffMidTrainThenBackUnderTheSameName) {
    line.playFrames(in, static_cast<std::size_t>(in.frames * 2 / 3));
    ASSERT_TRUE(main->engine().trainInProgress());
    line.silence(1400, noStaleWeight());
    ASSERT_TRUE(main->linkWatch().isLost());
    EXPECT_EQ(told(), QStringList{"Нет связи с весами: с порта " + QString::fromStdString(line.portName()) +
                                  " не поступают данные"});
    EXPECT_FALSE(main->engine().trainInProgress()) << "the train ends with the link";
    EXPECT_EQ(main->LIEtr()->Val(), 1);
    EXPECT_GE(trainsListed(), 1);
    EXPECT_LT(trainsListed(), 3) << "the wagon on the scale has no weight";
    EXPECT_EQ(logged(zv::event_kind::TrainCut), 1);
    EXPECT_EQ(shownWeights(), "Нет связи|Нет связи|Нет связи");
    EXPECT_TRUE(main->findChild<QLabel*>("SBLink")->text().startsWith("Нет связи с весами с "));

    line.silence(3000, noStaleWeight());
    line.unplug();
    line.silence(8000, noStaleWeight());
    EXPECT_EQ(told().size(), 1) << told().join('|').toStdString();
    EXPECT_EQ(main->linkWatch().cause(), zv::LinkWatch::Cause::PortError);
    EXPECT_EQ(logged(zv::event_kind::PortLost), 1);

    line.replug();
    nextTrainIsStoredWithoutAClick(2);
    EXPECT_EQ(told().size(), 1) << told().join('|').toStdString();
    EXPECT_EQ(logged(zv::event_kind::PortRestored), 1);
    const auto restored = zv::Events::installed()->log().lastOf(zv::event_kind::PortRestored);
    ASSERT_TRUE(restored.has_value());
    EXPECT_TRUE(restored->newValue.startsWith("перерыв 00:00:")) << restored->newValue.toStdString();
}

// The adapter is pulled out: its name vanishes with the device. One box names the port;
// reopening fails for as long as it is out, without another box; put back, it is reopened.
TEST_F(LinkLoss, AdapterPulledOutAndPutBackIsReopenedByItself) {
    ::unlink(line.portName().c_str());
    line.unplug();
    line.silence(15000, noStaleWeight());
    EXPECT_EQ(told(), QStringList{"Порт " + QString::fromStdString(line.portName()) + " не доступен"});
    EXPECT_FALSE(main->link().isOpen());
    line.replug();
    nextTrainIsStoredWithoutAClick(1);
    EXPECT_EQ(told().size(), 1);
}

// In the scale settings the box stays ticked and the line beside it says how the link
// stands; only the engineer's unticking stops the retries. An explicit tick whose opening
// fails is told and the box cleared, as before.
TEST_F(LinkLoss, OnlyTheEngineerUntickingStopsTheRetries) {
    line.silence(1400);
    ASSERT_TRUE(main->linkWatch().isLost());
    app.messages.clear();
    app.messages.answerYes();  // closing with the change made
    zv::ModalScript script;
    script.then([&](QDialog& window) {
        auto* box = window.findChild<QCheckBox*>("ChBox11");
        auto* state = window.findChild<QLabel*>("LaLink");
        EXPECT_TRUE(box->isChecked());
        line.silence(1000);
        EXPECT_TRUE(QRegularExpression("^нет связи с \\d\\d:\\d\\d:\\d\\d, повтор через [1-5] с$")
                        .match(state->text())
                        .hasMatch())
            << state->text().toStdString();
        for (const char* readout : {"Lw", "Lw_", "Lw0", "Lw57", "Lds0"})
            EXPECT_EQ(window.findChild<QLabel*>(readout)->text(), "Нет связи") << readout;
        zv::test::click(box);
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(state->text(), "не подключено");
        ::unlink(line.portName().c_str());
        zv::test::click(box);
        EXPECT_FALSE(box->isChecked());
    });
    main->menu().Scales[0]->trigger();
    EXPECT_EQ(script.shown(), QStringList{"SetupW"});
    EXPECT_EQ(app.messages.texts(),
              (QStringList{"Порт " + QString::fromStdString(line.portName()) + " не доступен",
                           "Выйти, не сохраняя сделанные изменения?"}));
    EXPECT_FALSE(main->settings().Connect);
    line.replug();
    line.silence(12000);
    EXPECT_FALSE(main->link().isOpen()) << "nothing is retried once the engineer disconnected";
}

// The processing window opened for a weighing at rest while the link is lost shows no old
// weight, and "Взвесить" takes none.
TEST_F(LinkLoss, AWeighingAtRestDuringTheLossTakesNoOldWeight) {
    line.silence(1400);
    ASSERT_TRUE(main->linkWatch().isLost());
    told();
    app.messages.clear();
    QTabBar* pages = main->controls().PCon1->findChild<QTabBar*>();
    zv::test::clickAt(pages, pages->tabRect(1).center());
    ASSERT_EQ(main->controls().PCon1->currentWidget(), main->controls().TS2);
    zv::ModalScript script;
    script.then([&](QDialog& d) {
        line.silence(ConverterLine::kTickMs);
        EXPECT_EQ(d.findChild<QLabel*>("Lw")->text(), "Нет связи");
        zv::test::choose(d, "LCBoxL", 0);
        zv::test::click(d.findChild<QPushButton*>("But8"));
        EXPECT_EQ(app.messages.texts(), QStringList{"Нет связи с весами: взвесить нельзя"});
        EXPECT_TRUE(main->records().Wagons().isNull("Weight"));
    });
    zv::test::click(main->controls().But1);
    EXPECT_EQ(script.shown(), QStringList{"WPro"});
}

}  // namespace
