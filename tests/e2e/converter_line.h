#pragma once

#include <functional>
#include <memory>
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

    // With `linkPath`, the port is a symbolic link of that name to the pseudo-terminal, as a
    // USB adapter's stable name points at whatever device it got this time.
    explicit ConverterLine(AppFixture& app, std::string linkPath = {});
    ~ConverterLine();

    // The port name for the settings file.
    const std::string& portName() const { return linkPath_.empty() ? pty_->slaveName() : linkPath_; }

    // Sends the passage at the frame rate, running `afterTick` after every tick.
    void play(const Passage& passage, const std::function<void()>& afterTick = {});
    // Sends the first `frames` frames of the passage only.
    void playFrames(const Passage& passage, std::size_t frames,
                    const std::function<void()>& afterTick = {});
    // The converter says nothing for `ms` milliseconds; the ticks go on.
    void silence(uint32_t ms, const std::function<void()>& afterTick = {});
    // The converter's cable comes off: the port sees a hang-up.
    void unplug() { pty_->closeMaster(); }
    // The adapter comes back under the same name: a new pseudo-terminal, the symbolic link
    // pointed at it (the old one is gone: its device hangs up).
    void replug();
    // The converter is on and the scale empty for `ms` milliseconds: the frames before the
    // first axle of `passage`, over and over, whenever the program has its port open.
    void idle(const Passage& passage, uint32_t ms, const std::function<void()>& afterTick = {});
    // One tick carrying `size` bytes of frames (none: a quiet tick).
    void tick(const char* bytes, std::size_t size);
    // Bytes sent that the program has not read yet.
    std::size_t unread() const { return pty_->unread(); }

  private:
    void deliver(std::size_t size);

    void pointLink();

    AppFixture& app_;
    std::unique_ptr<PtyPair> pty_;
    std::string linkPath_;
    std::size_t idleAt_ = 0;  // next byte of the idle second
};

}  // namespace zv::test
