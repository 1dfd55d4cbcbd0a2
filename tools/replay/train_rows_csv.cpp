#include "replay/train_rows_csv.h"

#include <cstdio>
#include <ctime>
#include <set>

namespace zv {

namespace {

using Milliseconds = std::chrono::milliseconds;

// One millionth of a day, the step by which a clashing time moves on.
constexpr std::chrono::microseconds TimeStep{86400};

long long millisecondsOf(WallTime time) {
    return std::chrono::floor<Milliseconds>(time.time_since_epoch()).count();
}

WallTime uniqueTime(WallTime time, std::set<long long>& used) {
    while (used.count(millisecondsOf(time))) time += TimeStep;
    used.insert(millisecondsOf(time));
    return time;
}

}  // namespace

void writeTrainRowLine(std::ostream& out, int train, std::string_view time, std::string_view wagon,
                       const StoredWagonRow& r) {
    out << train << ',' << time << ',' << wagon << ',' << r.Weight << ',' << r.Wei1 << ',' << r.Wei2
        << ',' << r.Wei3 << ',' << r.Direc << ',' << r.Note << ',' << r.Axle << ',' << r.Speed
        << ',' << r.BaseW << ',' << r.BaseB << ',' << r.WeiL << '\n';
}

std::string formatLocalTime(WallTime time) {
    long long ms = millisecondsOf(time);
    std::time_t seconds = static_cast<std::time_t>(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>((ms % 1000 + 1000) % 1000));
    return text;
}

int writeTrainRowsCsv(std::ostream& out, const std::vector<StoredTrain>& trains) {
    out << TrainRowsCsvHeader << '\n';
    std::set<long long> used;
    int written = 0;
    int number = 1;
    for (const StoredTrain& train : trains) {
        int before = written;
        for (const StoredWagonRow& row : train.rows) {
            if (!tableAcceptsAxles(row.Axle)) continue;
            writeTrainRowLine(out, number, formatLocalTime(uniqueTime(row.Time, used)), "", row);
            ++written;
        }
        // A train of which the table took no row leaves its number to the next one.
        if (written > before) ++number;
    }
    return written;
}

}  // namespace zv
