#include "cli/live_simulation.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <sstream>
#include <thread>

#include "link/frame_layout.h"
#include "simulator/frame_stream_sink.h"
#include "simulator/pseudo_terminal.h"

namespace zv {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) {
    stopRequested = 1;
}

// SIGINT and SIGTERM end the play at the next step instead of the process; the previous
// handlers come back afterwards.
class StopSignals {
  public:
    StopSignals() {
        stopRequested = 0;
        struct sigaction action {};
        action.sa_handler = requestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    bool requested() const { return stopRequested != 0; }

  private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

constexpr std::chrono::milliseconds Step{100};

void announce(const TrainSchedule& schedule, std::ostream& err) {
    const TrainDescription& train = schedule.currentTrain();
    err << "simulate: train " << schedule.trainsStarted() << ", " << train.vehicles.size()
        << " vehicles, direction " << (train.direction > 0 ? "+1" : "-1") << std::endl;
}

}  // namespace

int runLiveSimulation(const Settings& settings, const TrainDescription& train,
                      const SignalModel& signal, const ScheduleOptions& options,
                      double corruptShare, std::ostream& out, std::ostream& err) {
    TrainSchedule schedule(settings, train, signal, options);
    PseudoTerminal line(frame::Size);
    StopSignals stop;
    out << line.path() << std::endl;

    std::ostringstream bytes;
    FrameStreamSink frames(bytes, settings, corruptShare, signal.seed);
    const auto start = std::chrono::steady_clock::now();
    long dropped = 0;
    for (long step = 1; !stop.requested() && !schedule.finished(); ++step) {
        std::this_thread::sleep_until(start + step * Step);
        const double seconds = std::chrono::duration<double>(step * Step).count();
        const long due = std::lround(seconds * settings.Fadc);
        while (frames.frames() < due && !schedule.finished()) {
            int started = schedule.trainsStarted();
            frames.put(schedule.next());
            if (schedule.trainsStarted() != started) announce(schedule, err);
        }
        dropped += static_cast<long>(line.send(bytes.str()));
        bytes.str({});
    }
    err << "simulate: " << schedule.trainsStarted() << " trains, " << frames.frames() << " frames, "
        << dropped << " of them dropped unread" << std::endl;
    return 0;
}

}  // namespace zv
