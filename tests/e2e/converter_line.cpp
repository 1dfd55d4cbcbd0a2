// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/frame_stream_sink.h"
#include "simulator/train_simulator.h"
// clang-format off
#include "e2e/converter_line.h"
// clang-format on

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include "link/frame_layout.h"

namespace zv::test {

namespace {
constexpr std::size_t kFrameSize = frame::Size;
}  // namespace

Passage simulatePassage(const Settings& scale, const TrainDescription& train, double corruptShare) {
    std::ostringstream out;
    FrameStreamSink frames(out, scale, corruptShare);
    TrainSimulator simulator(scale, train);
    simulator.run(frames);
    return {out.str(), simulator.truth(), frames.frames(), frames.corrupted()};
}

ConverterLine::ConverterLine(AppFixture& app, std::string linkPath)
    : app_(app), pty_(std::make_unique<PtyPair>()), linkPath_(std::move(linkPath)) {
    pointLink();
}

ConverterLine::~ConverterLine() {
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
}

void ConverterLine::pointLink() {
    if (linkPath_.empty()) return;
    // A new link renamed over the old one: the name is never missing in between.
    const std::string fresh = linkPath_ + ".new";
    ::unlink(fresh.c_str());
    if (::symlink(pty_->slaveName().c_str(), fresh.c_str()) != 0 ||
        ::rename(fresh.c_str(), linkPath_.c_str()) != 0)
        throw std::runtime_error("cannot point " + linkPath_ + " at the pseudo-terminal");
}

void ConverterLine::replug() {
    pty_ = std::make_unique<PtyPair>();
    pointLink();
}

// The first second of the passage, before its first axle, carries one calibration mark as
// every second of the line does.
void ConverterLine::idle(const Passage& passage, uint32_t ms, const std::function<void()>& afterTick) {
    const auto fadc = static_cast<std::size_t>(app_.main().settings().Fadc);
    const std::size_t second = std::min(fadc * kFrameSize, passage.bytes.size());
    const std::size_t perTick = fadc * kTickMs / 1000 * kFrameSize;
    for (uint32_t on = 0; on < ms; on += kTickMs) {
        if (idleAt_ + perTick > second) idleAt_ = 0;
        const bool listening = app_.main().link().isOpen();
        tick(passage.bytes.data() + idleAt_, listening ? perTick : 0);
        if (listening) idleAt_ += perTick;
        if (afterTick) afterTick();
    }
}

void ConverterLine::play(const Passage& passage, const std::function<void()>& afterTick) {
    playFrames(passage, static_cast<std::size_t>(passage.frames), afterTick);
}

void ConverterLine::playFrames(const Passage& passage, std::size_t frames,
                               const std::function<void()>& afterTick) {
    const auto perTick = static_cast<std::size_t>(app_.main().settings().Fadc) * kTickMs / 1000;
    const std::size_t end = std::min(frames * kFrameSize, passage.bytes.size());
    for (std::size_t at = 0; at < end; at += perTick * kFrameSize) {
        tick(passage.bytes.data() + at, std::min(perTick * kFrameSize, end - at));
        if (afterTick) afterTick();
    }
}

void ConverterLine::silence(uint32_t ms, const std::function<void()>& afterTick) {
    for (uint32_t quiet = 0; quiet < ms; quiet += kTickMs) {
        tick(nullptr, 0);
        if (afterTick) afterTick();
    }
}

void ConverterLine::tick(const char* bytes, std::size_t size) {
    TMain& main = app_.main();
    main.timer()->stop();
    app_.clock += kTickMs;
    pty_->send(std::vector<unsigned char>(bytes, bytes + size));
    deliver(size);
    main.Timer1Timer();
}

// Waits until the bytes have crossed the pseudo-terminal and the serial port has taken them
// in, so that the tick reads exactly the frames of its time.
void ConverterLine::deliver(std::size_t size) {
    QElapsedTimer waited;
    waited.start();
    const auto late = [&waited] {
        if (waited.elapsed() > 2000)
            throw std::runtime_error("the pseudo-terminal did not pass the frames on");
        std::this_thread::yield();
    };
    while (size > 0 && pty_->unread() < size) late();
    QApplication::processEvents();
    while (pty_->unread() > 0) {
        late();
        QApplication::processEvents();
    }
}

}  // namespace zv::test
