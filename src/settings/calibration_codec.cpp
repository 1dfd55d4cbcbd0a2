#include "settings/calibration_codec.h"

#include <cstdint>
#include <limits>

namespace zv {
namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kCoefOffset100 = int64_t{100} * CoefOffset;

static_assert(CoefOffset >= 10000000 && CoefOffset <= 99999999, "eight digits");
static_assert(kCoefOffset100 <= kInt32Max, "100 x CoefOffset fits int32");
static_assert(CoefFactor >= 100 && CoefFactor <= 999, "three digits");
// Every product and difference of the coding stays within int32 for admissible values,
// and every coded value is positive.
static_assert(int64_t{CoefFactor} * MaxZeroCode < CoefOffset);
static_assert(int64_t{CoefFactor} * MaxCoefficient <= kInt32Max);
static_assert(int64_t{CoefFactor} * MaxCoefficient < kCoefOffset100);
// Decoding any int32 read from the file gives a quotient within int32.
static_assert((kCoefOffset100 - kInt32Min) / CoefFactor <= kInt32Max);
static_assert((CoefOffset - kInt32Max) / CoefFactor >= kInt32Min);

std::optional<int32_t> coded(int64_t offset, int32_t value) {
    const int64_t c = offset - int64_t{CoefFactor} * value;
    if (c < kInt32Min || c > kInt32Max) return std::nullopt;
    return static_cast<int32_t>(c);
}

// Leaves value as it is when the coded number is not a whole multiple.
bool decoded(int64_t offset, int32_t codedValue, int32_t& value) {
    const int64_t d = offset - codedValue;
    if (d % CoefFactor != 0) return false;
    value = static_cast<int32_t>(d / CoefFactor);
    return true;
}

}  // namespace

int32_t calibrationChecksum(const InputValues& a0, const InputValues& ak, int group) {
    int32_t sum = CoefOffset;
    for (int i = 4 * group; i < 4 * group + 4; ++i) sum ^= a0[i] ^ ak[i];
    return sum;
}

std::optional<CodedCalibration> encodeCalibration(const InputValues& a0, const InputValues& ak) {
    CodedCalibration c;
    for (size_t i = 0; i < a0.size(); ++i) {
        const auto zero = coded(CoefOffset, a0[i]);
        const auto coef = coded(kCoefOffset100, ak[i]);
        if (!zero || !coef) return std::nullopt;
        c.a0[i] = *zero;
        c.ak[i] = *coef;
    }
    c.a0k = calibrationChecksum(a0, ak, 0);
    c.a1k = calibrationChecksum(a0, ak, 1);
    return c;
}

bool decodeCalibration(const CodedCalibration& coded, InputValues& a0, InputValues& ak) {
    bool intact = true;
    for (size_t i = 0; i < a0.size(); ++i) {
        intact = decoded(CoefOffset, coded.a0[i], a0[i]) && intact;
        intact = decoded(kCoefOffset100, coded.ak[i], ak[i]) && intact;
    }
    const int32_t checksums[2] = {coded.a0k, coded.a1k};
    for (int group = 0; group < 2; ++group) {
        if (checksums[group] == calibrationChecksum(a0, ak, group)) continue;
        intact = false;
        for (int i = 4 * group; i < 4 * group + 4; ++i) {
            a0[i] = FallbackZeroCode;
            ak[i] = FallbackCoefficient;
        }
    }
    return intact;
}

}  // namespace zv
