#pragma once

#include <ostream>

#include "settings/settings.h"
#include "simulator/signal_model.h"
#include "simulator/train_description.h"
#include "simulator/train_schedule.h"

namespace zv {

// Plays trains through a pseudo-terminal as the converter does on its serial line: prints
// the line's path on out as one line, then sends the frames of the schedule in real time at
// Fadc frames a second, in steps of 100 ms, until the schedule ends or SIGINT or SIGTERM
// comes. One line per train and a summary at the end go to err. Returns the exit status.
int runLiveSimulation(const Settings& settings, const TrainDescription& train,
                      const SignalModel& signal, const ScheduleOptions& schedule,
                      double corruptShare, std::ostream& out, std::ostream& err);

}  // namespace zv
