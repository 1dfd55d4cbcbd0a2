#include "settings/settings_file.h"

#include <array>
#include <optional>

#include "settings/calibration_codec.h"
#include "settings/connection_names.h"
#include "settings/ini_file.h"

namespace zv {
namespace {

constexpr std::string_view kScales = "Scales";
constexpr std::string_view kDB = "DB";
constexpr std::string_view kCommon = "Common";
constexpr std::string_view kCentral = "Central";

struct IntegerKey {
    std::string_view name;
    int32_t Settings::*field;
};

// In the order they are read and written.
constexpr std::array<IntegerKey, 31> kScaleParameters = {{
    {"Wmax", &Settings::Wmax},   {"Wmin", &Settings::Wmin}, {"Dis", &Settings::Dis},
    {"Did", &Settings::Did},     {"Dids", &Settings::Dids}, {"Didl", &Settings::Didl},
    {"Zpwr", &Settings::Zpwr},   {"Zman", &Settings::Zman}, {"Zaut", &Settings::Zaut},
    {"Zst", &Settings::Zst},     {"Fadc", &Settings::Fadc}, {"Fflt", &Settings::Fflt},
    {"Fflt_", &Settings::Fflt_}, {"tflt", &Settings::tflt}, {"Axtr1", &Settings::Axtr1},
    {"Npl", &Settings::Npl},     {"Nadc", &Settings::Nadc}, {"Lp1", &Settings::Lp1},
    {"Lp2", &Settings::Lp2},     {"Lp3", &Settings::Lp3},   {"kd", &Settings::kd},
    {"b1", &Settings::b1},       {"b2", &Settings::b2},     {"L1", &Settings::L1},
    {"L2", &Settings::L2},       {"L12", &Settings::L12},   {"s1", &Settings::s1},
    {"s2", &Settings::s2},       {"s3", &Settings::s3},     {"s4", &Settings::s4},
    {"WeighMethod", &Settings::WeighMethod},
}};

constexpr std::array<IntegerKey, 3> kCommonIntegers = {{
    {"Params", &Settings::Params},
    {"Vmax", &Settings::Vmax},
    {"tTrEnd", &Settings::tTrEnd},
}};

const Settings kDefaults;

std::string zeroCodeKey(size_t i) {
    return "a0" + std::to_string(i);
}
std::string coefficientKey(size_t i) {
    return "ak" + std::to_string(i);
}

template <size_t N>
void readIntegers(const IniFile& ini, std::string_view section,
                  const std::array<IntegerKey, N>& keys, Settings& s) {
    for (const IntegerKey& k : keys)
        s.*k.field = ini.readInteger(section, k.name, kDefaults.*k.field);
}

template <size_t N>
void writeIntegers(IniFile& ini, std::string_view section, const std::array<IntegerKey, N>& keys,
                   const Settings& s) {
    for (const IntegerKey& k : keys) ini.writeInteger(section, k.name, s.*k.field);
}

void readConnection(const IniFile& ini, Settings& s, SettingsEffects& effects) {
    s.Port = ini.readString(kScales, "Port", kDefaults.Port);
    effects.applyPort(s.Port);
    s.BaudRate = canonicalBaudRate(ini.readString(kScales, "BaudRate", kDefaults.BaudRate));
    effects.applyBaudRate(s.BaudRate);
    s.Parity = canonicalParity(ini.readString(kScales, "Parity", kDefaults.Parity));
    effects.applyParity(s.Parity);
    s.Connect = ini.readBool(kScales, "Connect", kDefaults.Connect);
    effects.setConnect(s.Connect);
}

// Returns false when the calibration was damaged.
bool readCalibration(const IniFile& ini, Settings& s) {
    CodedCalibration coded;
    for (size_t i = 0; i < coded.a0.size(); ++i) {
        coded.a0[i] = ini.readInteger(kScales, zeroCodeKey(i), AbsentZeroCodeKey);
        coded.ak[i] = ini.readInteger(kScales, coefficientKey(i), AbsentCoefficientKey);
    }
    coded.a0k = ini.readInteger(kScales, "a0k", AbsentChecksumKey);
    coded.a1k = ini.readInteger(kScales, "a1k", AbsentChecksumKey);
    return decodeCalibration(coded, s.a0, s.ak);
}

void writeCalibration(IniFile& ini, const CodedCalibration& coded) {
    for (size_t i = 0; i < coded.a0.size(); ++i) {
        ini.writeInteger(kScales, zeroCodeKey(i), coded.a0[i]);
        ini.writeInteger(kScales, coefficientKey(i), coded.ak[i]);
    }
    ini.writeInteger(kScales, "a0k", coded.a0k);
    ini.writeInteger(kScales, "a1k", coded.a1k);
}

// What reading does with an empty folder key: the default goes to the file at once, as
// the program does, or stays in the record only, for a reader that must not write.
enum class FolderDefaults { WriteBack, RecordOnly };

std::string readFolder(IniFile& ini, std::string_view key, const std::string& fallback,
                       FolderDefaults defaults, SettingsEffects& effects) {
    const std::string value = ini.readString(kDB, key, fallback);
    if (!value.empty()) return value;
    if (defaults == FolderDefaults::WriteBack) {
        ini.writeString(kDB, key, fallback);
        if (const auto error = ini.save()) effects.showSaveError(*error);
    }
    return fallback;
}

void readFolders(IniFile& ini, std::string_view programFolder, Settings& s, FolderDefaults defaults,
                 SettingsEffects& effects) {
    s.PathA = readFolder(ini, "PathA", defaultArchiveFolder(programFolder), defaults, effects);
    effects.closeDatabase();
    s.Path = readFolder(ini, "Path", defaultTablesFolder(programFolder), defaults, effects);
}

void readCommon(const IniFile& ini, Settings& s) {
    s.User = ini.readString(kCommon, "User", kDefaults.User);
    s.ScName = ini.readString(kCommon, "ScName", kDefaults.ScName);
    readIntegers(ini, kCommon, kCommonIntegers, s);
}

void readCentral(const IniFile& ini, CentralSettings& c) {
    const CentralSettings& d = kDefaults.Central;
    c.Send = ini.readBool(kCentral, "Send", d.Send);
    c.Host = ini.readString(kCentral, "Host", d.Host);
    c.Port = ini.readInteger(kCentral, "Port", d.Port);
    c.Database = ini.readString(kCentral, "Database", d.Database);
    c.User = ini.readString(kCentral, "User", d.User);
    c.Scale = ini.readString(kCentral, "Scale", d.Scale);
    c.SslMode = ini.readString(kCentral, "SslMode", d.SslMode);
    c.SslRootCert = ini.readString(kCentral, "SslRootCert", d.SslRootCert);
}

void writeCentral(IniFile& ini, const CentralSettings& c) {
    ini.writeBool(kCentral, "Send", c.Send);
    ini.writeString(kCentral, "Host", c.Host);
    ini.writeInteger(kCentral, "Port", c.Port);
    ini.writeString(kCentral, "Database", c.Database);
    ini.writeString(kCentral, "User", c.User);
    ini.writeString(kCentral, "Scale", c.Scale);
    ini.writeString(kCentral, "SslMode", c.SslMode);
    ini.writeString(kCentral, "SslRootCert", c.SslRootCert);
}

void writeScales(IniFile& ini, const Settings& s) {
    ini.writeString(kScales, "Port", s.Port);
    ini.writeString(kScales, "BaudRate", canonicalBaudRate(s.BaudRate));
    ini.writeString(kScales, "Parity", canonicalParity(s.Parity));
    ini.writeBool(kScales, "Connect", s.Connect);
    writeIntegers(ini, kScales, kScaleParameters, s);
}

void writeFoldersAndCommon(IniFile& ini, const Settings& s) {
    ini.writeString(kDB, "Path", s.Path);
    ini.writeString(kDB, "PathA", s.PathA);
    ini.writeString(kCommon, "User", s.User);
    ini.writeString(kCommon, "ScName", s.ScName);
    writeIntegers(ini, kCommon, kCommonIntegers, s);
}

void readSettingsWith(IniFile& ini, std::string_view programFolder, Settings& settings,
                      FolderDefaults defaults, SettingsEffects& effects) {
    readConnection(ini, settings, effects);
    readIntegers(ini, kScales, kScaleParameters, settings);
    const bool calibrationIntact = readCalibration(ini, settings);
    readFolders(ini, programFolder, settings, defaults, effects);
    readCommon(ini, settings);
    readCentral(ini, settings.Central);
    if (!calibrationIntact) effects.reportDamagedCalibration();
    effects.fillSettingsWindows();
}

}  // namespace

std::string settingsFilePath(std::string_view programFolder, std::string_view extension) {
    return std::string(programFolder) + "ZOLVelt" + std::string(extension);
}

std::string defaultTablesFolder(std::string_view programFolder) {
    return std::string(programFolder) + "DB/";
}

std::string defaultArchiveFolder(std::string_view programFolder) {
    return std::string(programFolder) + "ZOL_arch";
}

void readSettings(IniFile& ini, std::string_view programFolder, Settings& settings,
                  SettingsEffects& effects) {
    readSettingsWith(ini, programFolder, settings, FolderDefaults::WriteBack, effects);
}

bool writeSettings(IniFile& ini, const Settings& settings, CalibrationKeys calibration) {
    std::optional<CodedCalibration> coded;
    if (calibration == CalibrationKeys::Write) {
        coded = encodeCalibration(settings.a0, settings.ak);
        if (!coded) return false;
    }
    writeScales(ini, settings);
    if (coded) writeCalibration(ini, *coded);
    writeFoldersAndCommon(ini, settings);
    writeCentral(ini, settings.Central);
    return true;
}

void readIni(std::string_view programFolder, std::string_view extension, Settings& settings,
             SettingsEffects& effects) {
    IniFile ini = IniFile::load(settingsFilePath(programFolder, extension));
    readSettings(ini, programFolder, settings, effects);
}

void readIniFile(const std::string& path, Settings& settings, SettingsEffects& effects) {
    IniFile ini = IniFile::load(path);
    const size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    readSettingsWith(ini, folder, settings, FolderDefaults::RecordOnly, effects);
}

bool saveIni(std::string_view programFolder, std::string_view extension, const Settings& settings,
             CalibrationKeys calibration, SettingsEffects& effects) {
    IniFile ini = IniFile::load(settingsFilePath(programFolder, extension));
    // Writing over a file that could not be read, or half a calibration, would lose data.
    const bool written = ini.readable() && writeSettings(ini, settings, calibration);
    const auto error = written ? ini.save() : std::optional("Unable to write to " + ini.path());
    if (error) effects.showSaveError(*error);
    return !error;
}

}  // namespace zv
