#pragma once

#include <array>
#include <cstdint>

#include "engine/filter_coefficients.h"
#include "settings/settings.h"

namespace zv {

class EngineObserver;

// The per-sample low-pass filtering (`DatFilt`): raw codes `AdcCode`, per-channel static and
// dynamic cascades `ChFlt` and the ten platform load quantities `PlW`. Histories are ring
// buffers that share one head per array; the accessors take k = samples back in time.
class SampleFilter {
  public:
    static constexpr int kChannels = 8;
    static constexpr int kStages = 6;
    static constexpr int kQuantities = 10;
    static constexpr int kRows = 8;

    // Recomputes `CfPl`, `CfCh` and `CfStat`; the running histories go on with them.
    void FiltCoef(const Settings& settings);

    // Stores the eight converter codes of a new sample as the newest `AdcCode` entries.
    void setAdcCodes(const std::array<uint16_t, 8>& slots);
    void DatFilt(const Settings& settings, EngineObserver& observer);

    int32_t AdcCode(int ch, int k) const { return adc_[ch][(adcHead_ - k) & 3u]; }
    double ChFlt(int ch, int stage, int k) const { return chFlt_[ch][stage][(chHead_ - k) & 3u]; }
    double PlW(int q, int row, int k) const { return plW_[q][row][(plHead_ - k) & 7u]; }

    int& SmpCnt() { return SmpCnt_; }
    int SmpCnt() const { return SmpCnt_; }
    int& FltRestart() { return FltRestart_; }

    const CoefSet& CfPl() const { return CfPl_; }
    const CoefSet& CfCh() const { return CfCh_; }
    const CoefSet& CfStat() const { return CfStat_; }

  private:
    void countSample();
    void restartChannels();
    void filterChannels();
    void writePlatformLoads(const Settings& settings);
    void restartPlatforms();
    void filterPlatforms();
    void showCalibrationReadouts(const Settings& settings, EngineObserver& observer) const;

    CoefSet CfPl_{};
    CoefSet CfCh_{};
    CoefSet CfStat_{};

    int32_t adc_[kChannels][4]{};
    unsigned adcHead_ = 0;
    double chFlt_[kChannels][kStages][4]{};
    unsigned chHead_ = 0;
    double plW_[kQuantities][kRows][8]{};
    unsigned plHead_ = 0;

    int SmpCnt_ = 0;
    int FltRestart_ = 1;
};

}  // namespace zv
