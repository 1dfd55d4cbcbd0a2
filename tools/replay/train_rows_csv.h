#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/stored_train.h"

namespace zv {

inline constexpr const char* TrainRowsCsvHeader =
    "Train,Time,Wagon,Weight,Wei1,Wei2,Wei3,Direc,Note,Axle,Speed,BaseW,BaseB,WeiL";

// Whether the Trains table takes a row with this axle count.
inline bool tableAcceptsAxles(int32_t axles) {
    return axles >= 2 && axles <= 8;
}

// "2026-12-09 14:03:27.125", local time.
std::string formatLocalTime(WallTime time);

// One line below the header; time and wagon as they are to appear.
void writeTrainRowLine(std::ostream& out, int train, std::string_view time, std::string_view wagon,
                       const StoredWagonRow& row);

// The header and one line per row the Trains table would take; trains are numbered from 1,
// a train with no such row takes no number; Wagon stays empty. Like the table, a time already used
// by an earlier row moves on by 86.4 ms until it is free. Returns the number of lines written below
// the header.
int writeTrainRowsCsv(std::ostream& out, const std::vector<StoredTrain>& trains);

}  // namespace zv
