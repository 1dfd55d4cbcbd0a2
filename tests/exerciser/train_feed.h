#pragma once

#include <QMetaObject>
#include <vector>

#include "e2e/converter_line.h"

namespace zv::test {

// Trains crossing the scale while the exerciser works: a loaded train coming in and the
// same wagons going out empty, one after the other without end, each followed by enough
// quiet for the program to end it. Each tick() carries the next 200 ms of the line.
class TrainFeed {
  public:
    TrainFeed(AppFixture& app, ConverterLine& line);
    ~TrainFeed();
    TrainFeed(const TrainFeed&) = delete;
    TrainFeed& operator=(const TrainFeed&) = delete;

    void tick();
    // Ticks until the next train has crossed and the program has had time to end it.
    void nextTrain();
    // Quiet ticks until the program has weighed what it holds and ended its train.
    void settle();
    long ticks() const { return ticks_; }
    long trainsSent() const { return trainsSent_; }
    // Trains sent while the port was opened again under them (by hand in the scale settings):
    // the filters restart there, so such a train need not be weighed.
    long trainsBroken() const { return trainsBroken_; }
    // Ticks whose frames the program did not read in time.
    long stalls() const { return stalls_; }

  private:
    void quietTick();

    AppFixture& app_;
    ConverterLine& line_;
    std::vector<Passage> passages_;
    std::size_t passage_ = 0;
    std::size_t at_ = 0;  // next byte of the passage
    int quietTicks_ = 0;  // quiet ticks still to come before the next passage
    long ticks_ = 0;
    long trainsSent_ = 0;
    long trainsBroken_ = 0;
    bool broken_ = false;
    QMetaObject::Connection reopened_;
    long stalls_ = 0;
};

// The scale the exerciser's trains are weighed on, its converter on `port`.
Settings feedScale(const std::string& port);

}  // namespace zv::test
