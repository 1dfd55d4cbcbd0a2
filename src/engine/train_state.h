#pragma once

#include <array>
#include <cstdint>

#include "engine/wall_time.h"

namespace zv {

// A stored train holds at most this many wagons, each with at most this many axle times.
inline constexpr int kMaxWagons = 200;
inline constexpr int kMaxAxles = 8;
// Spare wagon entries for the wagons still on the platforms when a long train is handed
// over in parts of kMaxWagons; events beyond them are counted but not recorded.
inline constexpr int kWagonSlots = kMaxWagons + 8;

// Edge detector watching one converter input for axles arriving or leaving.
struct EdgeDet {
    bool Armed = false;
    int32_t Count = 0;        // axles counted for the current wagon
    double PeakDeriv = 0.0;   // steepest slope while armed
    uint32_t PeakSample = 0;  // its sample: the axle's time
    double Level = 0.0;       // maximum (entry) or minimum (exit) since arming
};

// Axle timing of one wagon on one platform; Entry[1..8], Exit[1..8] in order of passage.
struct AxleRec {
    int32_t Axles = 0;
    std::array<int32_t, kMaxAxles + 1> Entry{};
    std::array<int32_t, kMaxAxles + 1> Exit{};
};

struct WeightRec {
    int32_t Wt1 = 0;   // first platform: first bogie, then the whole wagon
    int32_t Wt2 = 0;   // the same on the second platform
    int32_t Wt12 = 0;  // whole wagon across both platforms
    int32_t WtFinal = 0;
};

struct DiffRec {
    int32_t Diff1 = 0;  // first minus second bogie in the order of passage, first platform
    int32_t Diff2 = 0;
    int32_t DiffFinal = 0;
};

struct ResultRec {
    int32_t Axles = 0;
    int32_t WagonBase = 0;
    int32_t BogieBase = 0;
    int32_t Speed10 = 0;
    int32_t Note = 0;
};

// Everything the axle detection, the weighing steps and the wagon and train completion
// share. Suffix 1 is the platform a train reaches first, suffix 2 the other one.
struct TrainState {
    int32_t Direction = 0;
    bool TrainConfirmed = false;
    uint32_t TrainSample = 0;
    EdgeDet EntryDet1, ExitDet1, EntryDet2, ExitDet2;
    bool NextWagon1 = false, NextWagon2 = false;
    int32_t WagonAxles1 = 0, WagonAxles2 = 0;
    int32_t WagonIdx1 = 0, WagonIdx2 = 0;
    uint32_t SettleUntil1 = 0, SettleUntil2 = 0;
    double Acc1 = 0.0;
    int32_t Cnt1 = 0;
    double Acc2 = 0.0;
    int32_t Cnt2 = 0;
    double Acc12 = 0.0;
    int32_t Cnt12 = 0;
    // The maximum held in Acc1 / Acc2 was taken while an axle of the next vehicle stood on
    // the platform.
    bool PeakShared1 = false;
    bool PeakShared2 = false;
    uint32_t LastAxleTick = 0;
    int32_t LocoCount = 0;
    // Wagons of the passage already handed over as earlier parts of a long train.
    int32_t WagonsBefore = 0;

    std::array<AxleRec, kWagonSlots> AxleRec1{};
    std::array<AxleRec, kWagonSlots> AxleRec2{};
    std::array<WeightRec, kWagonSlots> WagonWeights{};
    std::array<DiffRec, kWagonSlots> BogieDiff{};
    std::array<ResultRec, kWagonSlots> WagonResult{};
    std::array<WallTime, kWagonSlots> WagonTime{};
    // Per wagon, the platforms whose weight by the maximum holds another vehicle's axle:
    // kPeakSharedFirst, kPeakSharedSecond.
    std::array<uint8_t, kWagonSlots> PeakShared{};
};

inline constexpr uint8_t kPeakSharedFirst = 1;
inline constexpr uint8_t kPeakSharedSecond = 2;

inline bool hasWagonSlot(int32_t idx) {
    return idx >= 0 && idx < kWagonSlots;
}

// Back to idle; per-wagon arrays, accumulators and `TrainConfirmed` are kept.
void TrainReset(TrainState& t);

}  // namespace zv
