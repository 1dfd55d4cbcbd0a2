#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zv {

// The settings file never holds a calibration value as it is: each is stored as
// an offset less a multiple of the value, and each platform's group carries an XOR
// checksum, so a hand-edited or half-written calibration is caught at start-up instead
// of weighing wrongly.
//
// CoefFactor is the prime 211: no change of one decimal digit of a coded value
// (k × 10^n, k = 1..9) is a multiple of it, so such an edit already fails the
// divisibility test. It is the largest prime for which CoefFactor × MaxCoefficient stays
// within int32. CoefOffset makes 100 × CoefOffset fit int32 while staying above
// CoefFactor × MaxCoefficient / 100, so every admissible value codes to a positive int32
// and no step of the arithmetic overflows (see the static_asserts in the .cpp file).
inline constexpr int32_t CoefOffset = 21357913;
inline constexpr int32_t CoefFactor = 211;

// What the calibration page admits.
inline constexpr int32_t MinZeroCode = 1;
inline constexpr int32_t MaxZeroCode = 50000;
inline constexpr int32_t MinCoefficient = 10000;
inline constexpr int32_t MaxCoefficient = 10000000;

// What a group that fails its checksum is reset to.
inline constexpr int32_t FallbackZeroCode = 2000;
inline constexpr int32_t FallbackCoefficient = 2000000;

// The coded values read when a key is absent.
inline constexpr int32_t AbsentZeroCodeKey = 2000;
inline constexpr int32_t AbsentCoefficientKey = 1100000;
inline constexpr int32_t AbsentChecksumKey = 0;

using InputValues = std::array<int32_t, 8>;  // one per input slot 0-7

// The eighteen calibration keys: a00..a07, ak0..ak7, a0k, a1k.
struct CodedCalibration {
    InputValues a0{};
    InputValues ak{};
    int32_t a0k = 0;
    int32_t a1k = 0;
};

// The checksum of group 0 (inputs 0-3) or group 1 (inputs 4-7).
int32_t calibrationChecksum(const InputValues& a0, const InputValues& ak, int group);

// Empty when a value cannot be coded within int32 (never for admissible values).
std::optional<CodedCalibration> encodeCalibration(const InputValues& a0, const InputValues& ak);

// Decodes into a0 and ak. A coded value that is not a whole multiple leaves its old
// value; a group whose checksum then fails is reset to the fallback values. Returns
// false when anything was damaged.
bool decodeCalibration(const CodedCalibration& coded, InputValues& a0, InputValues& ak);

}  // namespace zv
