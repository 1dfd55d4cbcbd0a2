#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/app_windows.h"
#include "app/main_window.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "ui/scripted_messages.h"

namespace zv::test {

// A two-platform scale with two inputs per platform, every input calibrated to zero code
// 1000 and 2 kg per code unit, at 50 samples per second.
Settings testScale();

// The samples of a train of `wagons` four-axle wagons of 60 t crossing the scale at 5 km/h, with
// empty scale before and after it.
std::vector<std::array<uint16_t, 8>> trainSamples(const Settings& scale, int wagons,
                                                  int direction = +1);
// The converter's frames of samples[from, to), as the serial line carries them.
std::vector<unsigned char> frameBytes(const Settings& scale,
                                      const std::vector<std::array<uint16_t, 8>>& samples,
                                      std::size_t from, std::size_t to);
// The same train written as a raw data file.
void writeTrainFile(const Settings& scale, int wagons, const std::string& path);

// Loads standing on the two platforms (kg, shared by a platform's two inputs, slots 4p and
// 4p + 2, of 2 kg per code unit) for a few seconds, with the ticks that read the zero button
// in between.
void standOnTheScale(TMain& main, int platform1, int platform2);

// Column of `field` in the train list.
int trainListColumn(TMain& main, const QString& field);

// A step of a modal script: picks operator n in the shift window and presses "Применить".
void chooseOperator(QDialog& shiftWindow, int n, const QString& code = {});

// The operator types the wagon number into the "Вагон" cell of row `row` of the train list,
// and presses Enter when `enter`; otherwise the number stays in the cell's editor.
void typeWagonNumber(TMain& main, int row, const QString& number, bool enter = true);
// The same in the first row.
void typeWagonNumber(TMain& main, const QString& number, bool enter = true);

// A program folder in a temporary folder with a settings file and the table templates, and
// the main window on it. Messages are recorded, never shown.
class AppFixture {
  public:
    AppFixture();
    ~AppFixture();

    QString folder() const;
    // Writes the settings file of the program folder (calibration included).
    void writeSettings(const Settings& settings);
    // Creates the main window and the other windows, as the program does before Prepare.
    TMain& create();
    // create() and Prepare, choosing operator 0 in the shift window.
    TMain& start();
    // start() on the test scale as `adjust` changes it, written as the settings file first.
    TMain& start(const std::function<void(Settings&)>& adjust);
    // The program ends (the window closes and is destroyed) and starts again on its folder.
    TMain& restart();
    // The program ends only; start() begins it again.
    void stop();
    TMain& main() { return *main_; }

    // The millisecond tick the window sees; tests move it by hand.
    uint32_t clock = 1000;
    ScriptedMessages messages;

  private:
    TempDir dir_;
    std::unique_ptr<TMain> main_;
};

}  // namespace zv::test
