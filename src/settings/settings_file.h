#pragma once

#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/settings.h"

namespace zv {

// The settings file lives in the program folder (given with its trailing "/") as
// "ZOLVelt" + extension; every caller passes ".ini".
std::string settingsFilePath(std::string_view programFolder, std::string_view extension);
// Defaults of the folders of section "DB".
std::string defaultTablesFolder(std::string_view programFolder);   // program folder + "DB/"
std::string defaultArchiveFolder(std::string_view programFolder);  // program folder + "ZOL_arch"

inline constexpr std::string_view DamagedCalibrationMessage =
    "Файл ZOLVELT.ini поврежден! Восстаноаите его из резервной копии или заново выполните "
    "калибровку";
inline constexpr std::string_view DamagedCaptionSuffix = " (ошибка ZOLVELT.ini)";

// What reading and saving the settings does to the rest of the program. The main window
// supplies it; every step does nothing by default, so tools and tests need not.
struct SettingsEffects {
    virtual ~SettingsEffects() = default;
    // The serial link takes each connection setting as soon as it is read, and the
    // connection page's selector follows it.
    virtual void applyPort(const std::string& /*name*/) {}
    virtual void applyBaudRate(const std::string& /*name*/) {}
    virtual void applyParity(const std::string& /*name*/) {}
    // Sets "Подключить", which opens or closes the link.
    virtual void setConnect(bool /*checked*/) {}
    // The folder of the working tables is about to be set: an open database closes first.
    virtual void closeDatabase() {}
    // Show DamagedCalibrationMessage and append DamagedCaptionSuffix to the main caption.
    virtual void reportDamagedCalibration() {}
    // UpdateSetupP, UpdateSetupW and Updateaka.
    virtual void fillSettingsWindows() {}
    // Saving failed; the text names the file ("Unable to write to <path>").
    virtual void showSaveError(const std::string& /*text*/) {}
};

// ReadIni: fills the record from the file (a missing file reads as all keys absent) and
// runs the effects in the order the program expects. An empty Path or PathA is replaced
// by its default and written back to the file at once. The calibration is decoded and
// checked; a damaged group is reset and reported.
void readIni(std::string_view programFolder, std::string_view extension, Settings& settings,
             SettingsEffects& effects);

// The same reading from a settings file at any path that is never written: an empty Path
// or PathA takes its default (beside the file) in the record only. For tools that read a
// scale's file without owning it.
void readIniFile(const std::string& path, Settings& settings, SettingsEffects& effects);

// Whether saving rewrites the calibration keys: only from the displayed, unlocked
// calibration page; otherwise the file keeps the calibration it has.
enum class CalibrationKeys { Keep, Write };

// SaveIni: writes the record to the file, connection as the record holds it (the main
// window keeps Port, BaudRate, Parity and Connect in step with the link and the box).
// The file is replaced in one step, so a failure leaves the old file exactly as it was;
// it is reported through showSaveError and gives false.
bool saveIni(std::string_view programFolder, std::string_view extension, const Settings& settings,
             CalibrationKeys calibration, SettingsEffects& effects);

// The same two steps on a file already in memory. readSettings may save the file (an
// empty folder key); writeSettings changes only the memory and gives false, writing
// nothing, when a calibration value cannot be coded.
void readSettings(IniFile& ini, std::string_view programFolder, Settings& settings,
                  SettingsEffects& effects);
bool writeSettings(IniFile& ini, const Settings& settings, CalibrationKeys calibration);

}  // namespace zv
