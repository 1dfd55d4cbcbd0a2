#include "settings/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "settings/calibration_codec.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// Records what reading and saving asked of the rest of the program, in order.
struct RecordedEffects : SettingsEffects {
    std::vector<std::string> calls;
    void applyPort(const std::string& n) override { calls.push_back("port " + n); }
    void applyBaudRate(const std::string& n) override { calls.push_back("baud " + n); }
    void applyParity(const std::string& n) override { calls.push_back("parity " + n); }
    void setConnect(bool on) override { calls.push_back(on ? "connect on" : "connect off"); }
    void closeDatabase() override { calls.push_back("close database"); }
    void reportDamagedCalibration() override { calls.push_back("damaged"); }
    void fillSettingsWindows() override { calls.push_back("fill windows"); }
    void showSaveError(const std::string& text) override { calls.push_back(text); }
};

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SettingsFile : public ::testing::Test {
  protected:
    std::string folder() const { return dir.path().string() + "/"; }
    fs::path file() const { return dir / "ZOLVelt.ini"; }
    void writeFile(const std::string& bytes) const {
        std::ofstream(file(), std::ios::binary) << bytes;
    }
    Settings read() {
        Settings s;
        readIni(folder(), ".ini", s, effects);
        return s;
    }
    bool save(const Settings& s, CalibrationKeys keys) {
        return saveIni(folder(), ".ini", s, keys, effects);
    }

    test::TempDir dir;
    RecordedEffects effects;
};

// The single whole-number parameters, compared and changed alike below.
constexpr std::array kWholeNumbers = {
    &Settings::Wmax,   &Settings::Wmin, &Settings::Dis,   &Settings::Did,  &Settings::Didl,
    &Settings::Dids,   &Settings::Zpwr, &Settings::Zman,  &Settings::Zaut, &Settings::Zst,
    &Settings::Fadc,   &Settings::Fflt, &Settings::Fflt_, &Settings::tflt, &Settings::Axtr1,
    &Settings::Npl,    &Settings::Nadc, &Settings::Lp1,   &Settings::Lp2,  &Settings::Lp3,
    &Settings::kd,     &Settings::b1,   &Settings::b2,    &Settings::L1,   &Settings::L2,
    &Settings::L12,    &Settings::s1,   &Settings::s2,    &Settings::s3,   &Settings::s4,
    &Settings::WeighMethod,
    &Settings::Params, &Settings::Vmax, &Settings::tTrEnd};

// Every field but the calibration and the folders, which have no fixed default.
void expectSameParameters(const Settings& a, const Settings& b) {
    EXPECT_EQ(a.Port, b.Port);
    EXPECT_EQ(a.BaudRate, b.BaudRate);
    EXPECT_EQ(a.Parity, b.Parity);
    EXPECT_EQ(a.Connect, b.Connect);
    for (auto f : kWholeNumbers) EXPECT_EQ(a.*f, b.*f);
    EXPECT_EQ(a.User, b.User);
    EXPECT_EQ(a.ScName, b.ScName);
    EXPECT_TRUE(a.Central == b.Central) << a.Central.Scale << " / " << b.Central.Scale;
}

// The parameters, the folders and the calibration.
void expectSameSettings(const Settings& a, const Settings& b) {
    expectSameParameters(a, b);
    EXPECT_EQ(a.a0, b.a0);
    EXPECT_EQ(a.ak, b.ak);
    EXPECT_EQ(a.Path, b.Path);
    EXPECT_EQ(a.PathA, b.PathA);
}

Settings changedSettings() {
    Settings s;
    s.Port = "/dev/ttyUSB0";
    s.BaudRate = "115200";
    s.Parity = "Odd";
    s.Connect = true;
    int32_t n = 11;
    for (auto f : kWholeNumbers) s.*f = n++;
    s.s1 = -100;
    s.a0 = {1, 2, 3, 50000, 5, 6, 7, 8};
    s.ak = {10000, 10000000, 3000000, 4000000, 5000000, 6000000, 7000000, 8000000};
    s.Path = "/srv/база/";
    s.PathA = "/srv/архив";
    s.User = "Завод";
    s.ScName = "Весы 1";
    s.Central = {true, "127.0.0.1", 6543, "офис", "весовщик", "Весы-Север", "verify-ca", "/etc/ssl/офис.crt"};
    return s;
}

TEST_F(SettingsFile, AMissingFileGivesTheDefaultsAndAResetCalibration) {
    const Settings s = read();
    expectSameParameters(s, Settings{});
    EXPECT_EQ(s.tTrEnd, 15000);
    EXPECT_EQ(s.Parity, "Even");  // the default "even" in the spelling of the list
    EXPECT_EQ(s.Path, folder() + "DB/");
    EXPECT_EQ(s.PathA, folder() + "ZOL_arch");
    EXPECT_EQ(s.a0, (InputValues{2000, 2000, 2000, 2000, 2000, 2000, 2000, 2000}));
    EXPECT_EQ(s.ak[0], 2000000);
    EXPECT_EQ(s.ak[7], 2000000);
    EXPECT_THAT(effects.calls, ElementsAre("port _", "baud 19200", "parity Even", "connect off",
                                           "close database", "damaged", "fill windows"));
    EXPECT_FALSE(fs::exists(file()));  // reading never creates the file
}

TEST_F(SettingsFile, AFileWithOnlyNplGivesOnePlatformAndDefaultsElsewhere) {
    writeFile("[Scales]\r\nNpl=0\r\n");
    const Settings s = read();
    Settings expected;
    expected.Npl = 0;
    expectSameParameters(s, expected);
    EXPECT_THAT(effects.calls, ::testing::Contains("damaged"));
}

TEST_F(SettingsFile, ConnectionNamesMatchWithoutCaseAndFallBack) {
    const struct {
        const char* baud;
        const char* parity;
        const char* baudRead;
        const char* parityRead;
    } cases[] = {
        {"115200", "EVEN", "115200", "Even"},
        {"custom", "even", "Custom", "Even"},
        {"9601", "eVeN", "9600", "Even"},
        {"fast", "Bogus", "9600", "None"},
        {"", "", "9600", "None"},
    };
    for (const auto& c : cases) {
        writeFile(std::string("[Scales]\nBaudRate=") + c.baud + "\nParity=" + c.parity + "\n");
        Settings s = read();
        EXPECT_EQ(s.BaudRate, c.baudRead) << c.baud;
        EXPECT_EQ(s.Parity, c.parityRead) << c.parity;
        ASSERT_TRUE(save(s, CalibrationKeys::Keep));
        const IniFile saved = IniFile::load(file().string());
        EXPECT_EQ(saved.find("Scales", "BaudRate"), c.baudRead);
        EXPECT_EQ(saved.find("Scales", "Parity"), c.parityRead);
    }
}

TEST_F(SettingsFile, SavedSettingsReadBackTheSame) {
    const Settings saved = changedSettings();
    ASSERT_TRUE(save(saved, CalibrationKeys::Write));
    const Settings s = read();
    expectSameSettings(s, saved);
    EXPECT_THAT(effects.calls, ::testing::Not(::testing::Contains("damaged")));
    // Cyrillic text is Windows-1251 on disk.
    EXPECT_NE(fileBytes(file()).find("User=\xC7\xE0\xE2\xEE\xE4\r\n"), std::string::npos);
}

TEST_F(SettingsFile, TheCalibrationKeysAreRewrittenOnlyWhenAsked) {
    Settings s = changedSettings();
    ASSERT_TRUE(save(s, CalibrationKeys::Write));
    const IniFile before = IniFile::load(file().string());

    s.a0.fill(4321);
    s.ak.fill(1234567);
    s.Wmax = 12345;
    ASSERT_TRUE(save(s, CalibrationKeys::Keep));
    const IniFile kept = IniFile::load(file().string());
    EXPECT_EQ(kept.find("Scales", "Wmax"), "12345");
    for (const char* key : {"a00", "ak0", "a07", "ak7", "a0k", "a1k"})
        EXPECT_EQ(kept.find("Scales", key), before.find("Scales", key)) << key;

    ASSERT_TRUE(save(s, CalibrationKeys::Write));
    const Settings back = read();
    EXPECT_EQ(back.a0, s.a0);
    EXPECT_EQ(back.ak, s.ak);
}

TEST_F(SettingsFile, SavingKeepsWhatElseTheFileHolds) {
    writeFile("; hand-made\r\n[Scales]\r\nWmax=150000\r\nExtra=keep me\r\n\r\n[Other]\r\nx=1\r\n");
    Settings s = read();
    s.Wmax = 160000;
    ASSERT_TRUE(save(s, CalibrationKeys::Keep));
    const std::string bytes = fileBytes(file());
    EXPECT_TRUE(bytes.starts_with("; hand-made\r\n[Scales]\r\nWmax=160000\r\nExtra=keep me\r\n"));
    EXPECT_NE(bytes.find("\r\n\r\n[Other]\r\nx=1\r\n"), std::string::npos);
}

TEST_F(SettingsFile, AnEmptyFolderKeyTakesItsDefaultAndIsWrittenBack) {
    writeFile("[DB]\r\nPath=\r\nPathA=\r\n");
    const Settings s = read();
    EXPECT_EQ(s.Path, folder() + "DB/");
    EXPECT_EQ(s.PathA, folder() + "ZOL_arch");
    EXPECT_EQ(fileBytes(file()),
              "[DB]\r\nPath=" + folder() + "DB/\r\nPathA=" + folder() + "ZOL_arch\r\n");

    // An absent key takes its default too, but leaves the file alone.
    writeFile("[DB]\r\nPathA=/srv/arch\r\n");
    EXPECT_EQ(read().Path, folder() + "DB/");
    EXPECT_EQ(fileBytes(file()), "[DB]\r\nPathA=/srv/arch\r\n");
}

// The Debian package installs the settings file empty, for the program to fill when it saves.
TEST_F(SettingsFile, AnEmptyFileGivesWhatAMissingOneGives) {
    writeFile("");
    const Settings s = read();
    const std::vector<std::string> fromEmpty = effects.calls;
    fs::remove(file());
    effects.calls.clear();
    const Settings m = read();
    expectSameSettings(s, m);
    EXPECT_EQ(fromEmpty, effects.calls);

    writeFile("");
    EXPECT_TRUE(save(s, CalibrationKeys::Write));
    Settings back;
    readIni(folder(), ".ini", back, effects);
    expectSameParameters(back, s);
    EXPECT_EQ(back.a0, s.a0);
}

TEST_F(SettingsFile, AFileReadByPathIsNeverWritten) {
    const std::string bytes = "[Scales]\r\nNpl=0\r\nFadc=25\r\n[DB]\r\nPath=\r\nPathA=\r\n";
    const fs::path other = dir / "scale 2.ini";
    std::ofstream(other, std::ios::binary) << bytes;
    Settings s;
    readIniFile(other.string(), s, effects);
    EXPECT_EQ(fileBytes(other), bytes);
    EXPECT_EQ(s.Npl, 0);
    EXPECT_EQ(s.Fadc, 25);
    EXPECT_EQ(s.Path, folder() + "DB/");
    EXPECT_EQ(s.PathA, folder() + "ZOL_arch");

    // The same steps as the program's reading, in the same order.
    RecordedEffects byPath = effects;
    effects.calls.clear();
    writeFile(bytes);
    expectSameParameters(read(), s);
    EXPECT_EQ(effects.calls, byPath.calls);
}

TEST_F(SettingsFile, AFailedSaveIsReportedAndLeavesTheOldFile) {
    const Settings s = changedSettings();
    const std::string old = "[Scales]\r\nWmax=150000\r\na00=17\r\n";
    const std::string expectedError = "Unable to write to " + file().string();
    writeFile(old);

    fs::create_directory(dir / "ZOLVelt.ini.tmp");  // the replacement cannot be written
    EXPECT_FALSE(save(s, CalibrationKeys::Write));
    EXPECT_EQ(fileBytes(file()), old);
    EXPECT_THAT(effects.calls, ElementsAre(expectedError));
    fs::remove(dir / "ZOLVelt.ini.tmp");

    if (geteuid() != 0) {  // permission bits do not stop root
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(save(s, CalibrationKeys::Keep));
        EXPECT_EQ(fileBytes(file()), old);
        fs::permissions(dir.path(), fs::perms::owner_all);
    }

    Settings outOfRange = s;  // a coefficient that cannot be coded writes nothing at all
    outOfRange.ak[3] = INT32_MAX;
    EXPECT_FALSE(save(outOfRange, CalibrationKeys::Write));
    EXPECT_EQ(fileBytes(file()), old);

    fs::remove(file());
    fs::create_directory(file());  // a file that cannot be read is not overwritten
    EXPECT_FALSE(save(s, CalibrationKeys::Keep));

    effects.calls.clear();
    const std::string missing = (dir / "gone").string() + "/";
    EXPECT_FALSE(saveIni(missing, ".ini", s, CalibrationKeys::Keep, effects));
    EXPECT_THAT(effects.calls, ElementsAre("Unable to write to " + missing + "ZOLVelt.ini"));
}

}  // namespace
}  // namespace zv
