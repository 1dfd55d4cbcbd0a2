#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "link/pty_pair.h"
#include "settings/settings.h"
#include "simulator/train_description.h"
#include "simulator/train_simulator.h"

namespace zv::test {

// A simulated train as the converter sends it: its frames on the line and what each
// vehicle really was.
struct Passage {
    std::string bytes;
    std::vector<TruthRow> truth;
    long frames = 0;
    long corrupted = 0;  // frames whose check fails
};

// The converter spoiling `corruptShare` of the frames of `train` crossing `scale`.
Passage simulatePassage(const Settings& scale, const TrainDescription& train,
                        double corruptShare = 0);

// The converter's end of the serial line, a pseudo-terminal, and the main window's ticks.
// Time runs faster than on a real scale only by sending more frames per tick: each tick
// carries kTickMs of frames at the scale's frame rate, the test clock moves on by kTickMs,
// then the window runs its tick. The window's own timer is stopped, so every tick is one
// of these.
class ConverterLine {
  public:
    static constexpr uint32_t kTickMs = 200;

    explicit ConverterLine(AppFixture& app) : app_(app) {}

    // The port name for the settings file.
    const std::string& portName() const { return pty_.slaveName(); }

    // Sends the passage at the frame rate, running `afterTick` after every tick.
    void play(const Passage& passage, const std::function<void()>& afterTick = {});
    // Sends the first `frames` frames of the passage only.
    void playFrames(const Passage& passage, std::size_t frames,
                    const std::function<void()>& afterTick = {});
    // The converter says nothing for `ms` milliseconds; the ticks go on.
    void silence(uint32_t ms);
    // The converter's cable comes off: the port sees a hang-up.
    void unplug() { pty_.closeMaster(); }
    // One tick carrying `size` bytes of frames (none: a quiet tick).
    void tick(const char* bytes, std::size_t size);
    // Bytes sent that the program has not read yet.
    std::size_t unread() const { return pty_.unread(); }

  private:
    void deliver(std::size_t size);

    AppFixture& app_;
    PtyPair pty_;
};

}  // namespace zv::test
