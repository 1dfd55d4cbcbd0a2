#include "replay/tool_settings.h"

#include <fstream>
#include <stdexcept>

#include "replay/file_error.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace zv {

namespace {

struct DamageWatch : SettingsEffects {
    void reportDamagedCalibration() override { damaged = true; }
    bool damaged = false;
};

void checkReadable(const std::string& path) {
    if (!std::ifstream(path)) throw std::runtime_error(fileError("Cannot open file", path));
}

}  // namespace

ToolSettings loadToolSettings(const ToolSettingsRequest& request) {
    ToolSettings result;
    DamageWatch watch;
    if (request.iniPath.empty()) {
        // Without a file every key has its default, and so has the calibration's reset.
        IniFile none = IniFile::fromBytes("");
        readSettings(none, "", result.settings, watch);
    } else {
        checkReadable(request.iniPath);
        readIniFile(request.iniPath, result.settings, watch);
    }
    if (request.zero) result.settings.a0 = *request.zero;
    if (request.coef) result.settings.ak = *request.coef;
    result.calibrationDamaged = watch.damaged && !(request.zero && request.coef);
    return result;
}

}  // namespace zv
