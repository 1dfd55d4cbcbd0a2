#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zv {

// Labels of the debug panel that the engine writes.
enum class DiagLabel { La1, La1_, La2, La2_, La3, La3_, La3s, La4, La4_, La6 };

// Values of one conditioning reading for the main window (and the windows that mirror it).
struct ConditioningDisplay {
    int32_t ShownWeight = 0;  // `Lw` (followed by " кг")
    bool stable = false;      // font colour of `Lw`: lime when stable, yellow otherwise
    bool overload = false;    // `Laovl` visible
    int32_t L1 = 0;           // longitudinal imbalance, kg, rounded to `Dis`
    int32_t L2 = 0;           // `OffLong` rounded to `Didl`
    int32_t L3 = 0;           // `StaticBase` rounded to `Didl` (also the measured base `LIEb`)
    int32_t L4 = 0;           // `OffTrans` rounded to `Dids`
    int32_t Lw0 = 0;          // platform 1 net load rounded to `Dis`
    int32_t Lw1 = 0;          // platform 2 net load rounded to `Dis`
    int32_t LwRaw = 0;        // `Lw_` of the scale settings window: total not rounded to `Dis`
    bool Lds0Empty = true;    // `Lds0` shows "_"
    int32_t Lds0 = 0;
    bool Lds1Empty = true;  // `Lds1` shows "_"
    int32_t Lds1 = 0;
};

// Readouts of the calibration page, all rounded to integers.
struct CalibrationReadouts {
    std::array<int32_t, 8> raw{};      // "не флт"
    std::array<int32_t, 8> dynamic{};  // "дин.ф"
    std::array<int32_t, 8> stat{};     // "стат.ф"
    std::array<int32_t, 10> loads{};   // `Lw0`, `Lw01`, ... `Lw57`
    bool hasTotal = false;             // `Lw` is left unchanged when false
    int32_t total = 0;
};

// Everything the engine shows leaves through this interface; every method does nothing by
// default, so the command-line tool and tests need not implement any of it. The two
// "...Wanted" queries let the engine skip formatting while nobody looks.
class EngineObserver {
  public:
    virtual ~EngineObserver() = default;

    // `La11` ("Динамическое взвешивание отключено") is hidden exactly while enabled.
    virtual void dynamicWeighingChanged(bool /*enabled*/) {}
    // `P13` shown, `Panel3`, `DSouT`, `PCon1` disabled exactly while a train passes.
    virtual void trainPassingChanged(bool /*passing*/) {}
    // The engine consumed a press of the zero button `SBut01`: release it.
    virtual void zeroButtonReleased() {}
    virtual void conditioningReading(const ConditioningDisplay& /*display*/) {}

    virtual bool calibrationReadoutsWanted() const { return false; }
    virtual void calibrationReadouts(const CalibrationReadouts& /*readouts*/) {}

    virtual bool diagnosticsWanted() const { return false; }
    virtual void diagnosticText(DiagLabel /*label*/, std::string_view /*text*/) {}
    virtual void diagnosticAppend(DiagLabel /*label*/, std::string_view /*text*/) {}
    // A cell of the grid `SG1`.
    virtual void diagnosticCell(int /*col*/, int /*row*/, std::string_view /*text*/) {}
};

}  // namespace zv
