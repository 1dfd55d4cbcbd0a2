#include "cli/calibration_options.h"

namespace zv {

ToolSettingsRequest settingsRequest(const CommandOptions& options) {
    ToolSettingsRequest request;
    request.iniPath = options.text("--ini");
    if (options.has("--ini") && request.iniPath.empty())
        throw UsageError("option --ini needs a file name");
    if (options.has("--zero")) request.zero = options.eightIntegers("--zero");
    if (options.has("--coef")) request.coef = options.eightIntegers("--coef");
    return request;
}

}  // namespace zv
