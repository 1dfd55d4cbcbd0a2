#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/settings.h"

namespace zv {

struct ToolSettingsRequest {
    std::string iniPath;  // empty: no settings file, every key at its default
    std::optional<std::array<int32_t, 8>> zero;
    std::optional<std::array<int32_t, 8>> coef;
};

struct ToolSettings {
    Settings settings;
    // The file's calibration was damaged (or absent) and not wholly replaced by the options,
    // so the reset values of the program are in use for at least one input.
    bool calibrationDamaged = false;
};

// Reads the settings as the program does, then puts the plain zero codes and coefficients
// of the options in place of the file's calibration. The file itself is never written.
// Throws std::runtime_error when the file is missing or cannot be read.
ToolSettings loadToolSettings(const ToolSettingsRequest& request);

}  // namespace zv
