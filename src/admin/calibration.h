#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zv {

// The calibration procedures of the calibration page, on the values of its edits. Each
// result is rounded halves to even and limited to its edit's range before it is stored, and
// a later formula of the same step reads the stored value, exactly as the edits would.

enum class CalibrationType { None = 0, PairRatio = 1, Symmetric = 2, Independent = 3 };

using SlotValues = std::array<int32_t, 8>;
using SlotReadings = std::array<double, 8>;  // static channel values, ChFlt[i][2][0]

// What the input grid holds: the zero-code edits and the coefficient edits (in type 1 the
// odd coefficient edits hold the pair's ratio in millionths).
struct CalibrationEdits {
    SlotValues zero{};
    SlotValues coef{};
};

// Which inputs a step works on. slot is the first input of the chosen platform (4p) for
// types 1 and 2, and the chosen input itself for type 3.
struct CalibrationTarget {
    CalibrationType type = CalibrationType::None;
    int slot = 0;
    bool fourInputs = false;  // four inputs per platform (the ratios of type 1 are used)
};

// A step stopped by a zero divisor names it; the values stored before it stay.
struct CalibrationStep {
    std::optional<std::string> zeroDivisor;
    bool ok() const { return !zeroDivisor; }
};

int32_t storedZeroCode(double value);
int32_t storedCoefficient(double value);

// "Нуль платформы": the zero codes take the current codes.
void zeroPlatform(const CalibrationTarget& target, const SlotReadings& now, CalibrationEdits& edits);
// "Калибровка 1": types 1 and 2 record the codes of the first load position, type 3
// computes the coefficient of the chosen input from the reference mass.
CalibrationStep calibrateFirst(const CalibrationTarget& target, const SlotReadings& now,
                               int32_t mass, CalibrationEdits& edits, SlotValues& firstCodes);
// "Калибровка 2": the load moved to the other end of the platform (types 1 and 2).
CalibrationStep calibrateSecond(const CalibrationTarget& target, const SlotReadings& now,
                                int32_t mass, const SlotValues& firstCodes,
                                CalibrationEdits& edits);

// Type 1 keeps ak[2j+1] as its ratio to ak[2j] in millionths.
int32_t pairRatio(int32_t oddCoef, int32_t evenCoef);
int32_t coefficientFromRatio(int32_t ratio, int32_t evenCoef);

}  // namespace zv
