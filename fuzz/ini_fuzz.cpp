// Arbitrary bytes as the settings file: reading every key must neither crash nor read out
// of bounds, and what is read must survive being written back and read again.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace {

bool sameRecord(const zv::Settings& a, const zv::Settings& b) {
    return a.Port == b.Port && a.BaudRate == b.BaudRate && a.Parity == b.Parity &&
           a.Connect == b.Connect && a.Wmax == b.Wmax && a.Npl == b.Npl && a.s4 == b.s4 &&
           a.a0 == b.a0 && a.ak == b.ak && a.Path == b.Path && a.PathA == b.PathA &&
           a.User == b.User && a.ScName == b.ScName && a.Params == b.Params && a.tTrEnd == b.tTrEnd;
}

struct DamageSeen : zv::SettingsEffects {
    bool damaged = false;
    void reportDamagedCalibration() override { damaged = true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zv::IniFile ini = zv::IniFile::fromBytes(bytes);
    zv::Settings first;
    zv::SettingsEffects none;
    zv::readSettings(ini, "/opt/zolvelt/", first, none);

    if (!zv::writeSettings(ini, first, zv::CalibrationKeys::Write)) std::abort();
    zv::IniFile again = zv::IniFile::fromBytes(ini.bytes());
    zv::Settings second;
    DamageSeen effects;
    zv::readSettings(again, "/opt/zolvelt/", second, effects);
    if (effects.damaged || !sameRecord(first, second)) std::abort();
    return 0;
}
