#include "simulator/train_schedule.h"

#include <cmath>

#include "simulator/scale_model.h"
#include "simulator/train_simulator.h"

namespace zv {

TrainSchedule::TrainSchedule(const Settings& settings, const TrainDescription& train,
                             const SignalModel& signal, const ScheduleOptions& options)
    : settings_(settings),
      base_(train),
      signal_(signal),
      options_(options),
      idle_(settings, ScaleModel(settings), signal) {
    TrainSimulator check(settings_, base_, signal_);  // refuses what it cannot model
    nextStart_ = samplesOf(options_.waitSeconds);
}

long TrainSchedule::samplesOf(double seconds) const {
    return std::lround(seconds * settings_.Fadc);
}

TrainDescription TrainSchedule::trainNumber(int k) const {
    TrainDescription train = base_;
    if (options_.alternate && k % 2 == 1) train.direction = -train.direction;
    return train;
}

void TrainSchedule::startTrain() {
    current_ = trainNumber(started_);
    SignalModel signal = signal_;
    signal.seed += static_cast<uint64_t>(started_);
    samples_.samples.clear();
    TrainSimulator(settings_, current_, signal).run(samples_);
    position_ = 0;
    ++started_;
}

std::array<uint16_t, 8> TrainSchedule::next() {
    bool idle = position_ == samples_.samples.size();
    bool more = options_.trains == 0 || started_ < options_.trains;
    if (idle && more && sample_ >= nextStart_) startTrain();
    ++sample_;
    if (position_ < samples_.samples.size()) {
        // The pause is counted from the train's last sample.
        if (position_ + 1 == samples_.samples.size())
            nextStart_ = sample_ + samplesOf(options_.pauseSeconds);
        return samples_.samples[position_++];
    }
    return idle_.codes({});
}

bool TrainSchedule::finished() const {
    return options_.trains > 0 && started_ == options_.trains &&
           position_ == samples_.samples.size();
}

}  // namespace zv
