#pragma once

#include <QString>

#include <string>
#include <vector>

#include "engine/stored_train.h"
#include "settings/settings.h"

namespace zv {

// A row of the Trains table as replay prints it.
struct TrainsTableRow {
    int train = 0;
    std::string time;   // "2026-12-09 14:03:27.125", local time
    std::string wagon;  // empty when null
    StoredWagonRow values;
};

struct StoredTrains {
    std::vector<int> numbers;           // the train numbers taken, in order
    std::vector<TrainsTableRow> rows;   // read back from Trains
    std::vector<std::string> messages;  // what opening the tables told the operator, one line each
};

// Opens (or creates) the tables in folder as the program's start-up does and stores each
// train as the program stores a finished one, sealed and logged with the key beside
// settingsFile; then reads the stored rows back from Trains.
// Throws std::runtime_error when the folder cannot be made or a table cannot be opened.
StoredTrains storeTrainsInFolder(const std::string& folder, const Settings& settings, const QString& settingsFile,
                                 const std::vector<StoredTrain>& trains);

}  // namespace zv
