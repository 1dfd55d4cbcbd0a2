#include "simulator/converter_model.h"

#include <algorithm>
#include <cmath>

namespace zv {

ConverterModel::ConverterModel(const Settings& settings, const ScaleModel& scale,
                               const SignalModel& signal)
    : noiseKg_(signal.noiseKg), random_(signal.seed) {
    for (int slot = 0; slot < 8; ++slot) {
        used_[slot] = scale.slotUsed(slot);
        if (!used_[slot]) continue;
        zero_[slot] = settings.a0[slot];
        kgPerCode_[slot] = settings.ak[slot] / 1e6;
        deadLoad_[slot] = signal.deadLoadKg / scale.inputsPerPlatform();
    }
}

std::array<uint16_t, 8> ConverterModel::codes(const std::array<double, 8>& slotLoads) {
    std::array<uint16_t, 8> out{};
    for (int slot = 0; slot < 8; ++slot) {
        if (!used_[slot]) continue;
        double load = slotLoads[slot] + deadLoad_[slot] + noiseKg_ * noise_(random_);
        double code = std::nearbyint(zero_[slot] + load / kgPerCode_[slot]);
        out[slot] = static_cast<uint16_t>(std::clamp(code, 0.0, 65535.0));
    }
    return out;
}

}  // namespace zv
