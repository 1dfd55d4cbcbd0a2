#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

const char* const kSample =
    "; settings of the scale\r\n"
    "[Scales]\r\n"
    "  wMAX = 150000 \r\n"
    "Port=\"COM 1\"\r\n"
    ";Dis=5\r\n"
    "Dis=10\r\n"
    "Dis=11\r\n"
    "Odd line without equals\r\n"
    "\r\n"
    "[db]\r\n"
    "Path=/srv/db/\r\n"
    "[SCALES]\r\n"
    "Did=99\r\n";

TEST(IniFile, FindsSectionsAndKeysTheWayWindowsDoes) {
    const IniFile ini = IniFile::fromBytes(kSample);
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"Scales", "Wmax", "150000"},     // letter case and blanks around key and value
        {"scales", "PORT", "COM 1"},      // one pair of quotes dropped
        {"Scales", "Dis", "10"},          // a comment is not a key; the first key wins
        {"Scales", "Did", std::nullopt},  // only the first section of a name counts
        {"DB", "Path", "/srv/db/"},       {"DB", "Wmax", std::nullopt},
        {"Common", "User", std::nullopt}, {"Scales", "Odd line without equals", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.find(c.section, c.key), c.value) << c.section << "/" << c.key;
}

TEST(IniFile, IntegersFallBackToTheDefaultUnlessWellFormed) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"12", 12},
        {"-5", -5},
        {"+7", 7},
        {"0x1F", 31},
        {"0XfF", 255},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", -42},
        {"$100000000", -42},
        {"12a", -42},
        {"1.5", -42},
        {"", -42},
        {"0x", -42},
        {"$", -42},
        {"-", -42},
        {"1 2", -42},
        {"0x-1", -42},
    };
    for (const auto& c : cases) {
        const IniFile ini = IniFile::fromBytes(std::string("[S]\nk=") + c.text + "\n");
        EXPECT_EQ(ini.readInteger("S", "k", -42), c.expected) << '"' << c.text << '"';
    }
}

TEST(IniFile, BooleansAreIntegers) {
    const IniFile ini = IniFile::fromBytes("[S]\nzero=0\ntwo=2\nminus=-1\nyes=yes\n");
    EXPECT_FALSE(ini.readBool("S", "zero", true));
    EXPECT_TRUE(ini.readBool("S", "two", false));
    EXPECT_TRUE(ini.readBool("S", "minus", false));
    EXPECT_TRUE(ini.readBool("S", "yes", true));
    EXPECT_FALSE(ini.readBool("S", "absent", false));
}

TEST(IniFile, WritingChangesOnlyTheKeysWritten) {
    IniFile ini = IniFile::fromBytes(kSample);
    ini.writeInteger("scales", "Wmax", 7);
    ini.writeString("Scales", "Npl", "0");  // missing key: after the section's last line
    ini.writeString("DB", "PathA", "/srv/arch");
    ini.writeString("Common", "User", " Завод ");  // missing section: at the end
    EXPECT_EQ(ini.bytes(),
              "; settings of the scale\r\n"
              "[Scales]\r\n"
              "wMAX=7\r\n"
              "Port=\"COM 1\"\r\n"
              ";Dis=5\r\n"
              "Dis=10\r\n"
              "Dis=11\r\n"
              "Odd line without equals\r\n"
              "Npl=0\r\n"
              "\r\n"
              "[db]\r\n"
              "Path=/srv/db/\r\n"
              "PathA=/srv/arch\r\n"
              "[SCALES]\r\n"
              "Did=99\r\n"
              "[Common]\r\n"
              "User=\" \xC7\xE0\xE2\xEE\xE4 \"\r\n");
    EXPECT_EQ(ini.readString("Common", "User", ""), " Завод ");
}

// Many writes into sections above others move the lines below them: every key must still
// read as it does from the same bytes read afresh.
TEST(IniFile, ReadsAfterManyWritesAgreeWithTheFileReadAgain) {
    IniFile ini = IniFile::fromBytes(kSample);
    const std::pair<const char*, const char*> writes[] = {
        {"db", "PathA"},   {"Scales", "k1"}, {"New", "x"},    {"Scales", "k2"},
        {"scales", "Dis"}, {"DB", "k3"},     {"new", "y"},    {"Scales", "k1"},
        {"Other", "z"},    {"db", "Path"},   {"Scales", "k4"}, {"NEW", "x"},
    };
    int n = 0;
    for (const auto& [section, key] : writes) ini.writeInteger(section, key, ++n);
    const IniFile again = IniFile::fromBytes(ini.bytes());
    for (const char* section : {"Scales", "DB", "New", "Other", "Missing"})
        for (const char* key : {"wmax", "Port", "Dis", "Did", "Path", "PathA", "k1", "k2", "k3",
                                "k4", "x", "y", "z", "none"})
            EXPECT_EQ(ini.find(section, key), again.find(section, key)) << section << "/" << key;
    EXPECT_EQ(ini.readInteger("Scales", "k1", 0), 8);
    EXPECT_EQ(ini.readInteger("Scales", "Dis", 0), 5);
}

TEST(IniFile, NewLinesFollowTheFileAndALastLineGetsItsEnding) {
    IniFile ini = IniFile::fromBytes("[S]\na=1");
    ini.writeInteger("S", "b", 2);
    ini.writeString("S", "c", "line\r\nbreak");  // a value cannot break its line
    EXPECT_EQ(ini.bytes(), "[S]\na=1\nb=2\nc=line  break\n");

    IniFile fresh = IniFile::fromBytes("");
    fresh.writeInteger("S", "a", 1);
    EXPECT_EQ(fresh.bytes(), "[S]\r\na=1\r\n");
}

TEST(IniFile, ReadsAndWritesWindows1251OnDiskAndKeepsAUtf8File) {
    test::TempDir dir;
    const fs::path path = dir / "ZOLVelt.ini";
    writeFile(path, "[Common]\r\nUser=\xC7\xE0\xE2\xEE\xE4\r\n");  // "Завод"
    IniFile ini = IniFile::load(path.string());
    EXPECT_EQ(ini.readString("Common", "User", ""), "Завод");
    ini.writeString("Common", "ScName", "Весы 1");
    ASSERT_EQ(ini.save(), std::nullopt);
    EXPECT_EQ(fileBytes(path),
              "[Common]\r\nUser=\xC7\xE0\xE2\xEE\xE4\r\nScName=\xC2\xE5\xF1\xFB 1\r\n");

    // A file edited in a UTF-8 editor that marked it so reads right and stays UTF-8.
    writeFile(path, "\xEF\xBB\xBF[Common]\nUser=Завод\n");
    ini = IniFile::load(path.string());
    EXPECT_EQ(ini.readString("Common", "User", ""), "Завод");
    ini.writeString("Common", "User", "Весы");
    EXPECT_EQ(ini.bytes(), "\xEF\xBB\xBF[Common]\nUser=Весы\n");
}

TEST(IniFile, AFailedSaveLeavesTheOldFileAsItWas) {
    test::TempDir dir;
    const fs::path path = dir / "ZOLVelt.ini";
    const std::string old = "[S]\r\na=1\r\n";
    writeFile(path, old);
    fs::create_directory(dir / "ZOLVelt.ini.tmp");  // the temporary file cannot be made

    IniFile ini = IniFile::load(path.string());
    ini.writeInteger("S", "a", 2);
    ini.writeInteger("S", "b", 3);
    EXPECT_EQ(ini.save(), "Unable to write to " + path.string());
    EXPECT_EQ(fileBytes(path), old);

    fs::remove(dir / "ZOLVelt.ini.tmp");
    EXPECT_EQ(ini.save(), std::nullopt);
    EXPECT_EQ(fileBytes(path), "[S]\r\na=2\r\nb=3\r\n");
    EXPECT_FALSE(fs::exists(dir / "ZOLVelt.ini.tmp"));

    const std::string elsewhere = (dir / "missing" / "ZOLVelt.ini").string();
    EXPECT_EQ(IniFile::load(elsewhere).save(), "Unable to write to " + elsewhere);
}

TEST(IniFile, SavingThroughALinkReplacesTheFileItPointsTo) {
    test::TempDir dir;
    writeFile(dir / "real.ini", "[S]\na=1\n");
    fs::create_symlink(dir / "real.ini", dir / "ZOLVelt.ini");
    IniFile ini = IniFile::load((dir / "ZOLVelt.ini").string());
    ini.writeInteger("S", "a", 2);
    ASSERT_EQ(ini.save(), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "ZOLVelt.ini"));
    EXPECT_EQ(fileBytes(dir / "real.ini"), "[S]\na=2\n");
}

// The installed program's folder is not writable; its settings file is a link to a writable
// folder, and the file it points to may have been deleted.
TEST(IniFile, SavingThroughALinkToAMissingFileMakesTheFileWhereItPoints) {
    test::TempDir dir;
    fs::create_directory(dir / "etc");
    fs::create_directory(dir / "program");
    fs::create_symlink(dir / "etc" / "ZOLVelt.ini", dir / "program" / "ZOLVelt.ini");
    fs::create_symlink("../etc/relative.ini", dir / "program" / "relative.ini");
    for (const char* name : {"ZOLVelt.ini", "relative.ini"}) {
        IniFile ini = IniFile::load((dir / "program" / name).string());
        ASSERT_TRUE(ini.readable());
        ini.writeInteger("S", "a", 1);
        ASSERT_EQ(ini.save(), std::nullopt) << name;
        EXPECT_TRUE(fs::is_symlink(dir / "program" / name));
        EXPECT_EQ(fileBytes(dir / "etc" / name), "[S]\r\na=1\r\n");
        EXPECT_FALSE(fs::exists(dir / "program" / (std::string(name) + ".tmp")));
    }
}

TEST(IniFile, AFileThatCannotBeReadIsNotMistakenForAMissingOne) {
    test::TempDir dir;
    EXPECT_TRUE(IniFile::load((dir / "none.ini").string()).readable());
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(IniFile::load((dir / "folder.ini").string()).readable());
}

}  // namespace
}  // namespace zv
