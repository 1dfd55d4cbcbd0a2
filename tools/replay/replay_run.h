#pragma once

#include <string>
#include <vector>

#include "engine/stored_train.h"
#include "engine/zero_state.h"
#include "settings/settings.h"
#include "simulator/signal_model.h"
#include "simulator/train_description.h"

namespace zv {

enum class RecordingKind {
    RawData,  // 18-byte records of decoded samples
    Capture,  // bytes as received on the serial line
};

struct Recording {
    RecordingKind kind = RecordingKind::RawData;
    std::string path;
};

// What one replay delivered: every train in order (a passage of more than 200 wagons comes
// as several trains) and the counters of the summary line.
struct ReplayReport {
    std::vector<StoredTrain> trains;
    long samples = 0;          // fed through DatFilt and DatPro
    int rejectedFrames = 0;    // capture only
    int calibrationMarks = 0;  // capture only
    // The zero as the first train began (at the end when none did): a train weighed without
    // it carries the platforms' dead load.
    ZeroState zero;
};

// The program's replay: a fresh engine, dynamic weighing allowed, every record (or every
// accepted frame) fed as one sample, TrainEnd at the end of the input and never before.
// Throws std::runtime_error when the file cannot be read.
ReplayReport replayRecording(const Settings& settings, const Recording& recording);

// The same replay of a simulated train, sample by sample, without a file in between.
// Throws std::invalid_argument for a train or scale the simulator cannot model.
ReplayReport replaySimulatedTrain(const Settings& settings, const TrainDescription& train,
                                  const SignalModel& signal);

}  // namespace zv
