#include "replay/train_rows_csv.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace zv {
namespace {

StoredWagonRow row(int axles, WallTime time) {
    StoredWagonRow r;
    r.Time = time;
    r.Axle = axles;
    r.Weight = 60000;
    return r;
}

std::vector<std::string> body(const std::string& csv) {
    std::vector<std::string> lines;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

TEST(TrainRowsCsvTest, LeavesOutRowsTheTableRefusesAndTrainsLeftWithoutRows) {
    WallTime t = std::chrono::system_clock::now();
    std::vector<StoredTrain> trains(3);
    trains[0].rows = {row(1, t), row(9, t)};  // the table takes axle counts 2..8 only
    trains[1].rows = {row(2, t), row(9, t), row(8, t)};
    trains[2].rows = {row(4, t)};
    std::ostringstream out;
    EXPECT_EQ(writeTrainRowsCsv(out, trains), 3);
    std::vector<std::string> lines = body(out.str());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 2), "1,");
    EXPECT_EQ(lines[1].substr(0, 2), "1,");
    EXPECT_EQ(lines[2].substr(0, 2), "2,");
}

TEST(TrainRowsCsvTest, EqualTimesMoveOnByAMillionthOfADay) {
    WallTime t = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    std::vector<StoredTrain> trains(2);
    trains[0].rows = {row(4, t), row(4, t)};
    trains[1].rows = {row(4, t + std::chrono::milliseconds(86))};
    std::ostringstream out;
    writeTrainRowsCsv(out, trains);
    std::vector<std::string> lines = body(out.str());
    ASSERT_EQ(lines.size(), 3u);
    std::string second = formatLocalTime(t);
    EXPECT_EQ(second.substr(19), ".000");
    const std::regex time(R"(\d,(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)(\.\d{3}),.*)");
    std::smatch m;
    const char* expectedMs[] = {".000", ".086", ".172"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(std::regex_match(lines[i], m, time)) << lines[i];
        EXPECT_EQ(m[1], second.substr(0, 19));
        EXPECT_EQ(m[2], expectedMs[i]);
    }
}

}  // namespace
}  // namespace zv
