#include "admin/calibration.h"

#include <algorithm>
#include <cmath>

#include "engine/rounding.h"
#include "settings/calibration_codec.h"

namespace zv {
namespace {

constexpr double kMillion = 1000000.0;

// The static filter settles on a constant code only to within rounding noise, so a
// divisor that small is as good as zero: it would only give an absurd coefficient.
constexpr double kNoise = 1e-6;

bool isZero(double divisor) { return std::abs(divisor) < kNoise; }

int32_t limitedTo(double value, int32_t lo, int32_t hi) {
    return std::clamp(roundHalfEven(value), lo, hi);
}

bool pairTypes(CalibrationType type) {
    return type == CalibrationType::PairRatio || type == CalibrationType::Symmetric;
}

CalibrationStep stoppedAt(const char* divisor) { return {std::string(divisor)}; }

// Type 1: the two ends of the platform each carry a known share of the mass; the odd
// inputs follow their even partners by the ratio in their edits.
CalibrationStep pairRatioSecond(int b, bool fourInputs, const SlotReadings& C, double W,
                                const SlotValues& P, CalibrationEdits& e) {
    const SlotValues& A = e.zero;
    const double r1 = fourInputs ? e.coef[b + 1] / kMillion : 0.0;
    const double r3 = fourInputs ? e.coef[b + 3] / kMillion : 0.0;
    const double X = (P[b] - A[b]) + r1 * (P[b + 1] - A[b + 1]);
    const double Y = (P[b + 2] - A[b + 2]) + r3 * (P[b + 3] - A[b + 3]);
    const double D1 = (C[b] - P[b]) + r1 * (C[b + 1] - P[b + 1]);
    const double D3 = (C[b + 2] - P[b + 2]) + r3 * (C[b + 3] - P[b + 3]);
    if (isZero(D3)) return stoppedAt("D3");
    const double divisor = X - D1 * Y / D3;
    if (isZero(divisor)) return stoppedAt("X - D1 * Y / D3");
    e.coef[b] = storedCoefficient(W * kMillion / divisor);
    e.coef[b + 2] = storedCoefficient(e.coef[b] * -D1 / D3);
    return {};
}

// Type 2: a load symmetric about the longitudinal axis, half of it on each rail side
// (slots b and b+2 on one side, b+1 and b+3 on the other).
CalibrationStep symmetricSecond(int b, const SlotReadings& C, double W, const SlotValues& P,
                                CalibrationEdits& e) {
    const SlotValues& A = e.zero;
    const double H = W * 500000.0;
    const double det1 = (P[b] - A[b]) * (C[b + 2] - A[b + 2]) - (C[b] - A[b]) * (P[b + 2] - A[b + 2]);
    const double det2 =
        (P[b + 1] - A[b + 1]) * (C[b + 3] - A[b + 3]) - (C[b + 1] - A[b + 1]) * (P[b + 3] - A[b + 3]);
    if (isZero(det1)) return stoppedAt("det1");
    e.coef[b] = storedCoefficient(H * (C[b + 2] - P[b + 2]) / det1);
    if (isZero(det2)) return stoppedAt("det2");
    e.coef[b + 1] = storedCoefficient(H * (C[b + 3] - P[b + 3]) / det2);
    e.coef[b + 2] = storedCoefficient(H * (P[b] - C[b]) / det1);
    e.coef[b + 3] = storedCoefficient(H * (P[b + 1] - C[b + 1]) / det2);
    return {};
}

}  // namespace

int32_t storedZeroCode(double value) { return limitedTo(value, MinZeroCode, MaxZeroCode); }

int32_t storedCoefficient(double value) {
    return limitedTo(value, MinCoefficient, MaxCoefficient);
}

void zeroPlatform(const CalibrationTarget& target, const SlotReadings& now,
                  CalibrationEdits& edits) {
    if (target.type == CalibrationType::Independent) {
        edits.zero[target.slot] = storedZeroCode(now[target.slot]);
    } else if (pairTypes(target.type)) {
        for (int i = target.slot; i < target.slot + 4; ++i) edits.zero[i] = storedZeroCode(now[i]);
    }
}

CalibrationStep calibrateFirst(const CalibrationTarget& target, const SlotReadings& now,
                               int32_t mass, CalibrationEdits& edits, SlotValues& firstCodes) {
    const int i = target.slot;
    if (target.type == CalibrationType::Independent) {
        const double divisor = now[i] - edits.zero[i];
        if (isZero(divisor)) return stoppedAt("C - A");
        edits.coef[i] = storedCoefficient(mass * kMillion / divisor);
    } else if (pairTypes(target.type)) {
        // The codes are kept as whole numbers, as the converter delivers them.
        for (int k = i; k < i + 4; ++k) firstCodes[k] = roundHalfEven(now[k]);
    }
    return {};
}

CalibrationStep calibrateSecond(const CalibrationTarget& target, const SlotReadings& now,
                                int32_t mass, const SlotValues& firstCodes,
                                CalibrationEdits& edits) {
    if (target.type == CalibrationType::PairRatio)
        return pairRatioSecond(target.slot, target.fourInputs, now, mass, firstCodes, edits);
    if (target.type == CalibrationType::Symmetric)
        return symmetricSecond(target.slot, now, mass, firstCodes, edits);
    return {};
}

int32_t pairRatio(int32_t oddCoef, int32_t evenCoef) {
    return roundHalfEven(oddCoef * kMillion / evenCoef);
}

int32_t coefficientFromRatio(int32_t ratio, int32_t evenCoef) {
    return roundHalfEven(ratio / kMillion * evenCoef);
}

}  // namespace zv
