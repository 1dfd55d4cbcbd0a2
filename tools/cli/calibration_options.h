#pragma once

#include "cli/command_options.h"
#include "replay/tool_settings.h"

namespace zv {

// --ini, --zero and --coef, which replay and simulate share.
ToolSettingsRequest settingsRequest(const CommandOptions& options);

// Appended to a summary line when the program's reset calibration is in use.
inline constexpr const char* DamagedCalibrationNote =
    "; calibration damaged or absent, reset values used (zero code 2000, coefficient 2000000)";

}  // namespace zv
