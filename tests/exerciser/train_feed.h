#pragma once

#include <QMetaObject>
#include <cstdint>
#include <random>
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

    // From now on the link drops at random moments, on average once in `meanTicks` ticks,
    // for 2 to 12 s: the converter falls silent, its cable is pulled, or the adapter and its
    // name vanish; then the line comes back (a new device under the same name). A passage
    // under way when the link drops is cut off there.
    void dropLinkAtRandom(uint64_t seed, int meanTicks);

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
    long linkDrops() const { return drops_; }

  private:
    enum class Drop { Silence, Unplug, Vanish };

    void quietTick();
    // The converter on and the scale empty, while the program listens.
    void idleTick();
    bool dropStarts();
    void endDrop();

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
    std::mt19937_64 random_;
    int meanTicks_ = 0;  // 0: the link never drops
    int outageTicks_ = 0;
    Drop drop_ = Drop::Silence;
    long drops_ = 0;
};

// The scale the exerciser's trains are weighed on, its converter on `port`.
Settings feedScale(const std::string& port);

}  // namespace zv::test
