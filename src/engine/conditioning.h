#pragma once

#include <array>
#include <cstdint>

#include "engine/engine_observer.h"
#include "engine/zero_state.h"
#include "settings/settings.h"

namespace zv {

// Every 12th sample is a conditioning reading.
inline constexpr int kReadingPeriod = 12;

// Static load quantities W0, W01, W23, W02, W13, W1, W45, W67, W46, W57.
using LoadValues = std::array<double, 10>;
using LoadInts = std::array<int32_t, 10>;

// The conditioning reading of `DatPro` on every 12th sample: history of the static loads,
// stability, zeroing, net loads, the shown weight with its hysteresis and the static
// centre-of-gravity values.
class Conditioning {
  public:
    // One reading from the static filter outputs. A pending zero request or a pressed zero
    // button is served on a stable reading; `zeroButton` is cleared when the press is used.
    ConditioningDisplay reading(const LoadValues& staticLoads, bool& zeroButton,
                                const Settings& settings);

    const LoadInts& CurZero() const { return CurZero_; }
    const LoadInts& RefZero() const { return RefZero_; }
    const LoadInts& NetLoad() const { return NetLoad_; }
    int32_t ShownWeight() const { return ShownWeight_; }
    int32_t StaticBase() const { return StaticBase_; }
    int32_t OffLong() const { return OffLong_; }
    int32_t OffTrans1() const { return OffTrans1_; }
    int32_t OffTrans2() const { return OffTrans2_; }
    int32_t OffTrans() const { return OffTrans_; }
    int32_t StatHist(int q, int slot) const { return hist_[q][(head_ - slot) & 7u]; }
    // The sum of the half-platform ranges of the last reading's history; stable below `Zst`.
    int64_t lastSpread() const { return lastSpread_; }
    // Whether the zero asked for last was set, and why not.
    const ZeroState& zeroState() const { return zeroState_; }

    // A zero of the old calibration means nothing under a new one: the loads count from the
    // calibration zero until the zero asked for here is set.
    void calibrationChanged();

    bool ZeroRequest = true;  // power-up zeroing at the next stable reading

  private:
    void record(const LoadValues& staticLoads);
    int64_t spread() const;
    void watchZero(int64_t spread, bool isStable, const Settings& settings);
    LoadInts means() const;
    void zero(const LoadInts& m, bool& zeroButton, const Settings& settings);
    void setZero(const LoadInts& m);
    void refuseZero(int64_t load, int32_t limit, bool byButton);
    void showWeight(bool isStable, int32_t Dis);
    void centreOfGravity(const Settings& settings);
    ConditioningDisplay display(bool isStable, const Settings& settings) const;

    int32_t hist_[10][8]{};
    unsigned head_ = 0;
    LoadInts RefZero_{};
    LoadInts CurZero_{};
    LoadInts NetLoad_{};
    int32_t ShownWeight_ = 0;
    int32_t StaticBase_ = 0;
    int32_t OffLong_ = 0;
    int32_t OffTrans1_ = 0;
    int32_t OffTrans2_ = 0;
    int32_t OffTrans_ = 0;
    int64_t lastSpread_ = 0;
    ZeroState zeroState_;
    bool requestSeen_ = false;  // the pending ZeroRequest has started zeroState_ already
};

}  // namespace zv
