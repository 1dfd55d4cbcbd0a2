#pragma once

#include <stdexcept>
#include <string>

#include "settings/calibration_codec.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

namespace zv::test {

// Writes the coefficient of one input into a settings file as someone with a text editor and
// the program's codec would: the coded key and its group's checksum, nothing else, so that the
// program reads the new value without a word about a damaged file.
inline void setCoefficientByHand(const std::string& settingsFile, size_t input,
                                 int32_t coefficient) {
    Settings s;
    SettingsEffects none;
    readIniFile(settingsFile, s, none);
    s.ak[input] = coefficient;
    const std::optional<CodedCalibration> coded = encodeCalibration(s.a0, s.ak);
    if (!coded) throw std::logic_error("a coefficient the codec cannot code");
    IniFile ini = IniFile::load(settingsFile);
    ini.writeInteger("Scales", "ak" + std::to_string(input), coded->ak[input]);
    ini.writeInteger("Scales", input < 4 ? "a0k" : "a1k", input < 4 ? coded->a0k : coded->a1k);
    if (const auto error = ini.save()) throw std::runtime_error(*error);
}

}  // namespace zv::test
