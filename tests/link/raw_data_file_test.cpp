#include "link/raw_data_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "support/temp_dir.h"

namespace zv::test {
namespace {

const RawRecord First{{0x1234, 0, 0xFFFF, 1, 2, 3, 4, 0x8001}, 0x0F};
const RawRecord Second{{9, 8, 7, 6, 5, 4, 3, 2}, 0};

std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<RawRecord> readAll(RawDataReader& reader) {
    std::vector<RawRecord> records;
    RawRecord r;
    while (reader.next(r)) records.push_back(r);
    return records;
}

void writeRecords(const std::filesystem::path& path, std::initializer_list<RawRecord> records) {
    RawDataWriter writer;
    ASSERT_TRUE(writer.open(path.string())) << writer.error();
    for (const RawRecord& r : records) ASSERT_TRUE(writer.append(r)) << writer.error();
    ASSERT_TRUE(writer.close());
}

TEST(RawDataFile, RecordsRoundTripAsLittleEndianWords) {
    TempDir dir;
    const auto path = dir / "w401.dat";
    writeRecords(path, {First, Second});

    const auto bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 36u);
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[14], 0x01);
    EXPECT_EQ(bytes[15], 0x80);
    EXPECT_EQ(bytes[16], 0x0F);
    EXPECT_EQ(bytes[17], 0x00);

    RawDataReader reader;
    ASSERT_TRUE(reader.open(path.string())) << reader.error();
    EXPECT_EQ(readAll(reader), (std::vector<RawRecord>{First, Second}));
    EXPECT_EQ(reader.partialTailBytes(), 0u);
    EXPECT_TRUE(reader.error().empty());
}

TEST(RawDataFile, PartialLastRecordIsNeverReadButReported) {
    TempDir dir;
    const auto path = dir / "cut.dat";
    writeRecords(path, {First, Second});
    std::filesystem::resize_file(path, 37);

    RawDataReader reader;
    ASSERT_TRUE(reader.open(path.string()));
    EXPECT_EQ(readAll(reader), (std::vector<RawRecord>{First, Second}));
    EXPECT_EQ(reader.partialTailBytes(), 1u);
    RawRecord r;
    EXPECT_FALSE(reader.next(r));
    EXPECT_TRUE(reader.error().empty());
}

TEST(RawDataFile, NewRecordingEmptiesAnOldFile) {
    TempDir dir;
    const auto path = dir / "w401.dat";
    writeRecords(path, {First, Second});
    writeRecords(path, {Second});

    RawDataReader reader;
    ASSERT_TRUE(reader.open(path.string()));
    EXPECT_EQ(readAll(reader), std::vector<RawRecord>{Second});
}

TEST(RawDataFile, EmptyFileHasNoRecords) {
    TempDir dir;
    const auto path = dir / "empty.dat";
    writeRecords(path, {});

    RawDataReader reader;
    ASSERT_TRUE(reader.open(path.string()));
    EXPECT_TRUE(readAll(reader).empty());
    EXPECT_EQ(reader.partialTailBytes(), 0u);
}

TEST(RawDataFile, FilesThatCannotBeOpenedNameTheirPath) {
    TempDir dir;
    const std::string missing = (dir / "no-folder" / "w401.dat").string();

    RawDataWriter writer;
    EXPECT_FALSE(writer.open(missing));
    EXPECT_NE(writer.error().find(missing), std::string::npos) << writer.error();
    EXPECT_FALSE(writer.append(First));

    RawDataReader reader;
    EXPECT_FALSE(reader.open(missing));
    EXPECT_NE(reader.error().find(missing), std::string::npos) << reader.error();
    RawRecord r;
    EXPECT_FALSE(reader.next(r));
}

TEST(RawDataFile, FullDiskFailsTheRecordThatDidNotFit) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    RawDataWriter writer;
    ASSERT_TRUE(writer.open("/dev/full")) << writer.error();
    EXPECT_FALSE(writer.append(First));
    EXPECT_NE(writer.error().find("/dev/full"), std::string::npos) << writer.error();
}

TEST(RawDataFile, RecordOfADecodedFrameKeepsSlotsAndStatus) {
    DecodedFrame frame;
    frame.codes = First.codes;
    frame.status = 0x0F;
    frame.calibrationMark = true;
    EXPECT_EQ(toRawRecord(frame), First);
}

}  // namespace
}  // namespace zv::test
