#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "settings/settings.h"
#include "simulator/scale_model.h"
#include "simulator/signal_model.h"

namespace zv {

// Turns the loads on the inputs into the codes the converter reports:
// zero code + (load + dead load share) x 1000000 / coefficient, plus noise, clamped to 16 bits.
class ConverterModel {
  public:
    ConverterModel(const Settings& settings, const ScaleModel& scale, const SignalModel& signal);

    std::array<uint16_t, 8> codes(const std::array<double, 8>& slotLoads);

  private:
    std::array<bool, 8> used_{};
    std::array<double, 8> zero_{};
    std::array<double, 8> kgPerCode_{};
    std::array<double, 8> deadLoad_{};
    double noiseKg_;
    std::mt19937_64 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
};

}  // namespace zv
