#include "replay/replay_run.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "engine/weighing_engine.h"
#include "link/frame_decoder.h"
#include "link/raw_data_file.h"
#include "replay/file_error.h"
#include "simulator/train_simulator.h"

namespace zv {

namespace {

// One replay: the engine as the program has it after start-up, fed sample by sample.
class ReplaySession {
  public:
    explicit ReplaySession(const Settings& settings)
        : samplesPerSecond_(std::max(settings.Fadc, 1)), engine_(settings) {
        engine_.FiltCoef();
        engine_.beginReplay();
    }

    WeighingEngine& engine() { return engine_; }

    void feed(const std::array<uint16_t, 8>& slots) {
        // The clock only stamps LastAxleTick: no time-out is tested inside a replay.
        engine_.feed(slots, static_cast<uint32_t>(report_.samples * 1000 / samplesPerSecond_));
        ++report_.samples;
        if (!zeroNoted_ && engine_.trainInProgress()) noteZero();
        while (engine_.hasCompletedTrain()) report_.trains.push_back(engine_.takeCompletedTrain());
    }

    ReplayReport finish() {
        if (!zeroNoted_) noteZero();
        engine_.endReplay();
        StoredTrain last = engine_.TrainEnd();
        if (!last.empty()) report_.trains.push_back(std::move(last));
        return std::move(report_);
    }

    ReplayReport& report() { return report_; }

  private:
    void noteZero() {
        report_.zero = engine_.conditioning().zeroState();
        zeroNoted_ = true;
    }

    long samplesPerSecond_;  // a settings file may hold any Fadc, even 0
    WeighingEngine engine_;
    ReplayReport report_;
    bool zeroNoted_ = false;
};

void feedRawData(const std::string& path, ReplaySession& session) {
    RawDataReader reader;
    if (!reader.open(path)) throw std::runtime_error(reader.error());
    RawRecord record;
    while (reader.next(record)) session.feed(record.codes);
    if (!reader.error().empty()) throw std::runtime_error(reader.error());
}

void feedCapture(const std::string& path, const Settings& settings, ReplaySession& session) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(fileError("Cannot open file", path));
    FrameDecoder decoder;
    decoder.setLayout(settings.Nadc, settings.Npl);
    session.engine().resetBeforeOpen();
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
        if (!decoder.feed(static_cast<uint8_t>(*it))) continue;
        if (decoder.frame().calibrationMark) decoder.onCalibrationMark(session.engine().SmpCnt());
        session.feed(decoder.frame().codes);
    }
    if (in.bad()) throw std::runtime_error(fileError("Cannot read file", path));
    session.report().rejectedFrames = decoder.FrameErr();
    session.report().calibrationMarks = decoder.MarkCnt();
}

class SessionSink : public SampleSink {
  public:
    explicit SessionSink(ReplaySession& session) : session_(session) {}
    void put(const std::array<uint16_t, 8>& codes) override { session_.feed(codes); }

  private:
    ReplaySession& session_;
};

}  // namespace

ReplayReport replaySimulatedTrain(const Settings& settings, const TrainDescription& train,
                                  const SignalModel& signal) {
    TrainSimulator simulator(settings, train, signal);
    ReplaySession session(settings);
    SessionSink sink(session);
    simulator.run(sink);
    return session.finish();
}

ReplayReport replayRecording(const Settings& settings, const Recording& recording) {
    ReplaySession session(settings);
    if (recording.kind == RecordingKind::RawData)
        feedRawData(recording.path, session);
    else
        feedCapture(recording.path, settings, session);
    return session.finish();
}

}  // namespace zv
