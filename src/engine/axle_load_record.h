#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/train_state.h"

namespace zv {

// A piece of one platform's load in which the same axles stood on it: axles [from, to)
// of the passage (numbered in the order they arrive, from 0), and the sum and the sum of
// squares of the net loads of its samples (kg), which follow one another from `start`.
// A stretch with the same axles on the platform is cut into pieces of a fraction of a
// second, so that a body's bounce can be told from the axles' loads; a long stretch merges
// its pieces pairwise instead of growing, so the memory of a passage grows with its axles,
// not with its time on the scale.
struct LoadSegment {
    int32_t from = 0;
    int32_t to = 0;
    int32_t count = 0;
    double sum = 0.0;
    double sumSq = 0.0;
    int64_t start = 0;  // the first sample; the rest follow without a gap
};

// The samples of one platform with no axle on it: its zero offset and its noise.
struct EmptyPlatform {
    int64_t count = 0;
    double sum = 0.0;
    double spread = 0.0;  // sum of squares about each empty stretch's own mean
    double mean() const { return count > 0 ? sum / double(count) : 0.0; }
    // Standard deviation of one sample; negative when too few samples were seen.
    double noise() const;
};

// Crossing samples of the axles over one end of a platform, by axle of the passage. Old
// times are dropped once no sample can need them, so that a passage of any length fits.
class CrossingTimes {
  public:
    explicit CrossingTimes(size_t capacity) { times_.reserve(capacity); }
    void clear() {
        times_.clear();
        base_ = 0;
    }
    int32_t size() const { return base_ + static_cast<int32_t>(times_.size()); }
    int32_t first() const { return base_; }  // the oldest axle still kept
    int64_t at(int32_t axle) const { return times_[static_cast<size_t>(axle - base_)]; }
    // False when there is no room: the passage counts as not recorded from here on.
    bool add(int64_t sample);
    void dropBefore(int32_t axle);

  private:
    std::vector<int64_t> times_;
    int32_t base_ = 0;
};

// What one platform records of a passage.
struct PlatformLoads {
    explicit PlatformLoads(size_t axles);

    CrossingTimes entries;  // first sample with the axle on the platform
    CrossingTimes exits;    // first sample with the axle off it again
    std::vector<LoadSegment> segments;  // in the order of time
    size_t stretchFirst = 0;            // the first piece of the stretch now going on
    int32_t pieceLength = 0;            // samples of its pieces
    EmptyPlatform empty;
    struct Stretch {
        int64_t count = 0;
        double sum = 0.0, sumSq = 0.0;
    };
    Stretch stretch;  // the empty stretch now going on
    // The axles on the platform at the last sample handled: [left, entered).
    int32_t entered = 0;
    int32_t left = 0;
    bool overflow = false;

    void clear();
    void closeEmptyStretch();
    // Adds a sample with the axles [left, entered) on the platform; false when full.
    bool addLoaded(int64_t sample, double load, int32_t piece);

  private:
    void mergePieces();
};

// Records, sample by sample, the net load of each platform together with the set of axles
// standing on it, as the detector's arrivals and departures tell it. A sample is handled a
// few samples late, once every crossing near it is known; the samples around a crossing,
// where an axle is half on, are left out. Nothing is allocated after construction.
class AxleLoadRecord {
  public:
    AxleLoadRecord();

    // A new passage. lag: samples by which the detector dates a crossing late; guard:
    // samples left out on each side of a crossing; landing: further samples left out after
    // an axle rolls onto a platform, while its first swing presses it down; piece: samples
    // of a piece of a stretch.
    void begin(int platforms, int lag, int guard, int landing, int piece);
    // A confirmed arrival or departure; peakSample is the detector's time of the axle.
    void edge(int platform, bool entry, uint32_t peakSample);
    // The net loads (kg) of this sample; the detectors tell what is still to come.
    void sample(const TrainState& t, double load1, double load2);
    // Handles the samples still waiting (the passage has ended).
    void flush(const TrainState& t);
    // Axles of the passage before `axle` are no longer asked for.
    void forgetBefore(int32_t axle);

    int platforms() const { return platforms_; }
    const PlatformLoads& platform(int p) const { return loads_[static_cast<size_t>(p)]; }

  private:
    struct Pending {
        int64_t sample;
        double load[2];
    };
    bool due(const TrainState& t, int64_t sample, int64_t now) const;
    void handle(const Pending& s, const TrainState* t);
    void handlePlatform(PlatformLoads& p, int64_t sample, double load, bool nearPending);
    bool nearCrossing(const PlatformLoads& p, int64_t sample) const;

    std::array<PlatformLoads, 2> loads_;
    std::vector<Pending> ring_;
    size_t head_ = 0;  // oldest waiting sample
    size_t waiting_ = 0;
    int platforms_ = 1;
    int lag_ = 0;
    int guard_ = 1;
    int landing_ = 0;
    int piece_ = 1;
};

}  // namespace zv
