#include "replay/tool_settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "replay/file_error.h"
#include "settings/settings_file.h"

namespace zv {

namespace fs = std::filesystem;

namespace {

// The program reads "ZOLVelt.ini" from its own folder and may write defaults back into it;
// the tool gives it a private copy in a folder of its own, removed afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "zolvelt-tool-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("Cannot create a temporary folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string withSeparator() const { return path_.string() + "/"; }
    fs::path operator/(const char* name) const { return path_ / name; }

  private:
    fs::path path_;
};

struct DamageWatch : SettingsEffects {
    void reportDamagedCalibration() override { damaged = true; }
    bool damaged = false;
};

void copySettingsFile(const std::string& from, const fs::path& to) {
    if (!std::ifstream(from)) throw std::runtime_error(fileError("Cannot open file", from));
    std::error_code ec;
    fs::copy_file(from, to, ec);
    if (ec) throw std::runtime_error("Cannot read file \"" + from + "\": " + ec.message());
}

}  // namespace

ToolSettings loadToolSettings(const ToolSettingsRequest& request) {
    ScratchFolder folder;
    if (!request.iniPath.empty()) copySettingsFile(request.iniPath, folder / "ZOLVelt.ini");
    ToolSettings result;
    DamageWatch watch;
    readIni(folder.withSeparator(), ".ini", result.settings, watch);
    if (request.zero) result.settings.a0 = *request.zero;
    if (request.coef) result.settings.ak = *request.coef;
    result.calibrationDamaged = watch.damaged && !(request.zero && request.coef);
    return result;
}

}  // namespace zv
