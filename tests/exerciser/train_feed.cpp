// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/train_simulator.h"
// clang-format off
#include "exerciser/train_feed.h"
// clang-format on

#include <QTimer>
#include <algorithm>
#include <stdexcept>
#include <unistd.h>

#include "link/frame_layout.h"
#include "link/serial_link.h"

namespace zv::test {
namespace {

TrainDescription train(int direction, double wagonMass) {
    TrainDescription t;
    t.direction = direction;
    t.speed = {8, 6};
    t.emptySeconds = 2;
    if (direction > 0) t.vehicles.push_back(makeLocomotive(128370));
    for (int i = 0; i < 2; ++i) t.vehicles.push_back(makeWagon(4, wagonMass + 1000 * i));
    return t;
}

}  // namespace

Settings feedScale(const std::string& port) {
    Settings s = testScale();
    s.tflt = 10;
    s.tTrEnd = 4000;
    s.Port = port;
    s.Connect = true;
    return s;
}

TrainFeed::TrainFeed(AppFixture& app, ConverterLine& line) : app_(app), line_(line) {
    const Settings scale = feedScale(line.portName());
    passages_.push_back(simulatePassage(scale, train(+1, 64000)));
    passages_.push_back(simulatePassage(scale, train(-1, 23500)));
    reopened_ = QObject::connect(&app_.main().link(), &SerialLink::aboutToOpen, &app_.main(), [this] {
        if (at_ != 0) broken_ = true;
    });
}

TrainFeed::~TrainFeed() {
    QObject::disconnect(reopened_);
}

void TrainFeed::dropLinkAtRandom(uint64_t seed, int meanTicks) {
    random_.seed(seed);
    meanTicks_ = meanTicks;
}

bool TrainFeed::dropStarts() {
    if (meanTicks_ <= 0 || std::uniform_int_distribution<int>(1, meanTicks_)(random_) != 1) return false;
    ++drops_;
    drop_ = static_cast<Drop>(std::uniform_int_distribution<int>(0, 2)(random_));
    outageTicks_ = std::uniform_int_distribution<int>(10, 60)(random_);
    if (drop_ == Drop::Vanish) ::unlink(line_.portName().c_str());
    if (drop_ != Drop::Silence) line_.unplug();
    at_ = 0;  // the rest of the passage is lost with the line
    passage_ = (passage_ + 1) % passages_.size();
    return true;
}

void TrainFeed::endDrop() {
    if (drop_ != Drop::Silence) line_.replug();
}

void TrainFeed::idleTick() {
    try {
        line_.idle(passages_[passage_], ConverterLine::kTickMs);
    } catch (const std::runtime_error&) {
        ++stalls_;
    }
}

void TrainFeed::quietTick() {
    // The tick itself runs; the bytes still waiting on the line cannot be taken back.
    app_.clock += ConverterLine::kTickMs;
    app_.main().timer()->stop();
    app_.main().Timer1Timer();
}

void TrainFeed::settle() {
    const long limit = app_.main().settings().tTrEnd / ConverterLine::kTickMs + 20;
    for (long n = 0; n < limit; ++n) {
        if (app_.main().catchUp().catchUp().live() && !app_.main().engine().trainInProgress()) return;
        quietTick();
    }
}

void TrainFeed::nextTrain() {
    do {
        tick();
    } while (at_ != 0 || quietTicks_ > 0);
}

void TrainFeed::tick() {
    ++ticks_;
    if (outageTicks_ > 0 || dropStarts()) {
        if (--outageTicks_ == 0) endDrop();
        quietTick();
        return;
    }
    const Passage& passage = passages_[passage_];
    // Frames go out only while the program listens; otherwise the line is quiet.
    if (quietTicks_ > 0 || !app_.main().link().isOpen() || line_.unread() > 0) {
        if (quietTicks_ > 0) --quietTicks_;
        if (app_.main().link().isOpen() && line_.unread() == 0)
            idleTick();
        else
            quietTick();
        return;
    }
    const auto perTick = static_cast<std::size_t>(std::max(1, app_.main().settings().Fadc)) *
                         ConverterLine::kTickMs / 1000 * frame::Size;
    const std::size_t size = std::min(perTick, passage.bytes.size() - at_);
    try {
        line_.tick(passage.bytes.data() + at_, size);
    } catch (const std::runtime_error&) {
        ++stalls_;  // the program stopped reading its port: the frames wait there
    }
    at_ += size;
    if (at_ < passage.bytes.size()) return;
    at_ = 0;
    passage_ = (passage_ + 1) % passages_.size();
    ++trainsSent_;
    if (broken_) ++trainsBroken_;
    broken_ = false;
    quietTicks_ = static_cast<int>(app_.main().settings().tTrEnd / ConverterLine::kTickMs) + 5;
}

}  // namespace zv::test
