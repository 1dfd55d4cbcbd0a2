#include "commissioning/zero_noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "engine/weighing_engine.h"

namespace zv {

namespace {

constexpr double kProbeNoiseKg = 20;  // large beside a code step, so rounding hardly counts
constexpr int kMinutes = 5;
constexpr int kSettlingReadings = 16;  // the filters and the history fill first
constexpr uint64_t kSeed = 1;

constexpr int kStarts = 100;

uint16_t code(int32_t zeroCode, int32_t coefficient, double kg) {
    const double c = zeroCode + kg * 1000000.0 / std::max(coefficient, 1);
    return static_cast<uint16_t>(std::clamp(std::lround(c), 0L, 65535L));
}

// The empty scale with the probe noise on every input, sample by sample.
class NoisyScale {
  public:
    NoisyScale(const Settings& s, uint64_t seed) : s_(s), random_(seed), noise_(0.0, kProbeNoiseKg) {}
    void feed(WeighingEngine& engine) {
        for (int slot = 0; slot < 8; ++slot)
            codes_[slot] = code(s_.a0[slot], s_.ak[slot], noise_(random_));
        engine.feed(codes_, 0);
    }

  private:
    const Settings& s_;
    std::mt19937_64 random_;
    std::normal_distribution<double> noise_;
    std::array<uint16_t, 8> codes_{};
};

// The spread of the eighth reading after the port opens, the first with a full history.
std::vector<int64_t> firstFullReadingSpreads(const Settings& s) {
    std::vector<int64_t> spreads;
    for (int start = 0; start < kStarts; ++start) {
        WeighingEngine engine(s);
        engine.setDynamicWeighingAllowed(false);
        NoisyScale scale(s, kSeed + static_cast<uint64_t>(start));
        for (int n = 0; n < 8 * kReadingPeriod; ++n) scale.feed(engine);
        spreads.push_back(engine.conditioning().lastSpread());
    }
    return spreads;
}

// The stability spread of every reading of the empty scale at the probe noise.
std::vector<int64_t> emptyScaleSpreads(const Settings& s, int readings) {
    WeighingEngine engine(s);
    engine.setDynamicWeighingAllowed(false);
    NoisyScale scale(s, kSeed);
    std::vector<int64_t> spreads;
    spreads.reserve(static_cast<size_t>(readings));
    for (int n = 0; n < (readings + kSettlingReadings) * kReadingPeriod; ++n) {
        scale.feed(engine);
        if (engine.SmpCnt() % kReadingPeriod == 0 && n >= kSettlingReadings * kReadingPeriod)
            spreads.push_back(engine.conditioning().lastSpread());
    }
    return spreads;
}

double median(std::vector<int64_t> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return static_cast<double>(v[v.size() / 2]);
}

// The noise at which a spread seen at the probe noise would reach `Zst`.
double noiseFor(double spread, int32_t Zst) {
    return spread > 0 ? kProbeNoiseKg * Zst / spread : 0;
}

std::string kg(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f кг", std::floor(value));
    return text;
}

}  // namespace

ZeroNoiseLimit zeroNoiseLimit(const Settings& s) {
    const int perMinute = std::max(60 * std::max(s.Fadc, 1) / kReadingPeriod, 1);
    const std::vector<int64_t> spreads = emptyScaleSpreads(s, kMinutes * perMinute);
    std::vector<int64_t> leastPerMinute;
    for (size_t from = 0; from + perMinute <= spreads.size(); from += perMinute)
        leastPerMinute.push_back(*std::min_element(spreads.begin() + from,
                                                   spreads.begin() + from + perMinute));
    ZeroNoiseLimit limit;
    limit.firstReadingKg = noiseFor(median(firstFullReadingSpreads(s)), s.Zst);
    limit.halfStableKg = noiseFor(median(spreads), s.Zst);
    limit.minuteKg = noiseFor(median(leastPerMinute), s.Zst);
    return limit;
}

std::string zeroNoiseText(const Settings& s, const ZeroNoiseLimit& limit) {
    return "Ноль при включении: при Zst = " + kg(s.Zst) +
           " первое полное показание после открытия порта устойчиво при шуме до " +
           kg(limit.firstReadingKg) + " на вход (СКО), показания пустых весов — до " +
           kg(limit.halfStableKg) + "; при шуме от " + kg(limit.minuteKg) +
           " ноль за минуту не устанавливается";
}

}  // namespace zv
