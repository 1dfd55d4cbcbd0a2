// Pictures of the processing window in its four modes for a person to look at, not part of the
// suite: run with
//   ZOLVELT_SHOTS=/some/folder processing_tests --gtest_also_run_disabled_tests --gtest_filter='*Shot*'
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>

#include "replay_train.h"
#include "w_pro_fixture.h"

namespace zv::test {
namespace {

class Shots : public ::testing::Test, public WProFixture {
  protected:
    // The next window shown is filled in as an operator would, and its picture saved.
    void shoot(const QString& name, std::function<void(QDialog&)> fill) {
        script_.then([name, fill](QDialog& d) {
            fill(d);
            QApplication::processEvents();
            QApplication::processEvents();
            d.grab().save(qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/" + name);
        });
    }

  private:
    ModalScript script_;
};

TEST_F(Shots, DISABLED_ProcessingWindowInEachMode) {
    settings.Params = params::ShowGravityOffsets;
    replayTrain(*records, {61000});
    trains().first();
    trains().edit();
    trains().setValue("Wagon", "51234565");
    trains().post();
    shoot("wpro_0_accept_in_motion.png", [](QDialog& d) { describeLoad(d, "LCBoxL", 5); });
    acceptance.But1Click(false);

    wagons().insertValues({{"Wagon", "51234565"}, {"Weight", 61000}, {"Load", 5},
                           {"Station", 1}, {"Client", 1}, {"Doc", "D-123"}});
    shoot("wpro_1_release_in_motion.png", [](QDialog& d) { click(d, "But6"); });
    acceptance.But2Click(false, false);

    shoot("wpro_2_accept_at_rest.png", [this](QDialog& d) {
        type(d, "DBE1", "60012341");
        describeLoad(d, "LCBoxL", 7);
        weigh(d, 23500);
    });
    acceptance.But1Click(true);

    wagons().findKey("51234565");
    shoot("wpro_3_release_at_rest.png", [this](QDialog& d) {
        click(d, "But6");
        weigh(d, 22000);
    });
    acceptance.But2Click(true, false);
}

}  // namespace
}  // namespace zv::test
