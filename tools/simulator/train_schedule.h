#pragma once

#include <array>
#include <cstdint>

#include "settings/settings.h"
#include "simulator/converter_model.h"
#include "simulator/sample_sink.h"
#include "simulator/signal_model.h"
#include "simulator/train_description.h"

namespace zv {

struct ScheduleOptions {
    double waitSeconds = 20;   // empty scale before the first train
    double pauseSeconds = 30;  // empty scale between one train and the next
    int trains = 0;            // how many trains; 0: no end
    bool alternate = true;     // every other train comes in the other direction
};

// Trains crossing the scale one after another with empty scale in between, sample by
// sample, as a converter streams them without end. Train k (from 0) is the given train
// with seed + k and, when alternating, the direction turned on every odd k; each brings
// its own empty seconds before and after, the pause comes on top.
class TrainSchedule {
  public:
    // Throws std::invalid_argument for a train or scale the simulator cannot model.
    TrainSchedule(const Settings& settings, const TrainDescription& train,
                  const SignalModel& signal, const ScheduleOptions& options);

    std::array<uint16_t, 8> next();
    // The last train and its empty seconds after it have all been taken.
    bool finished() const;
    // Trains begun so far, and the last one begun.
    int trainsStarted() const { return started_; }
    const TrainDescription& currentTrain() const { return current_; }

  private:
    TrainDescription trainNumber(int k) const;
    void startTrain();
    long samplesOf(double seconds) const;

    Settings settings_;
    TrainDescription base_;
    SignalModel signal_;
    ScheduleOptions options_;
    ConverterModel idle_;
    TrainDescription current_;
    SampleList samples_;
    std::size_t position_ = 0;
    long sample_ = 0;
    long nextStart_ = 0;
    int started_ = 0;
};

}  // namespace zv
