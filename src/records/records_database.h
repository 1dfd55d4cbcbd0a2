#pragma once

#include "records/clock.h"
#include "records/database.h"
#include "records/records_notifier.h"
#include "records/table.h"
#include "records/table_model.h"
#include "settings/settings.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace zv {

// The tables of the program on one connection, their data links and the selected train.
// DBOpen opens them all, creating what is missing, as the program does at start-up.
class RecordsDatabase {
public:
    // programDir holds the template files and the default folder "DB".
    RecordsDatabase(Settings& settings, const QString& programDir, const Clock& clock, RecordsNotifier& notifier);
    ~RecordsDatabase();
    RecordsDatabase(const RecordsDatabase&) = delete;
    RecordsDatabase& operator=(const RecordsDatabase&) = delete;

    // Names this month's book "Book[mm.yyyy].db" from the clock, as the start-up does.
    void setBookOfThisMonth();
    void DBOpen();

    Database& connection() { return connection_; }
    const Settings& settings() const { return settings_; }
    const Clock& clock() const { return clock_; }
    const QString& programDir() const { return programDir_; }

    Table& Trains() { return *trains_; }
    Table& Wagons() { return *wagons_; }
    Table& Book() { return *book_; }
    Table& Names() { return *names_; }
    Table& Loads() { return *loads_; }
    Table& Stations() { return *stations_; }
    Table& Clients() { return *clients_; }
    Table& BasesW() { return *basesW_; }

    // Data links of the grids, lookups and the table viewer.
    TableModel& DSouT() { return *dsouT_; }
    TableModel& DSouW() { return *dsouW_; }
    TableModel& DSouB() { return *dsouB_; }
    TableModel& DSouN() { return *dsouN_; }
    TableModel& DSouL() { return *dsouL_; }
    TableModel& DSouS() { return *dsouS_; }
    TableModel& DSouC() { return *dsouC_; }
    TableModel& DSouBW() { return *dsouBW_; }

    // The train shown in the train list (1 to 65535); Trains is filtered to "Train=" it.
    int selectedTrain() const { return selectedTrain_; }
    void setSelectedTrain(int train) { selectedTrain_ = train; }
    // Sets the filter of Trains to "Train=" the selected train and switches it on.
    void showSelectedTrain();
    // The last DBOpen found a folder without any table and made them all, with one message.
    bool openedNewFolder() const { return newFolder_; }
    // The files the last DBOpen made from their templates (absolute paths).
    const QStringList& madeFiles() const { return madeFiles_; }

private:
    void openFolder();
    bool folderHoldsNoTables() const;
    void tellMissing(const QString& text);
    void openDictionary(Table& table, const QString& missingMessage);
    void openFromTemplate(Table& table, const QString& missingMessage);
    void copyTemplate(const Table& table);
    void selectLatestTrain();
    void openBook();

    Settings& settings_;
    QString programDir_;
    const Clock& clock_;
    RecordsNotifier& notifier_;
    Database connection_;
    std::unique_ptr<Table> trains_, wagons_, book_, names_, loads_, stations_, clients_, basesW_;
    std::unique_ptr<TableModel> dsouT_, dsouW_, dsouB_, dsouN_, dsouL_, dsouS_, dsouC_, dsouBW_;
    int selectedTrain_ = 1;
    bool newFolder_ = false;  // the tables are all being made: one message says so, not one each
    QStringList madeFiles_;
};

// "Декабрь 2026": the month's full name and the year, as the new-book message shows them.
QString monthAndYear(const QDate& date);

}  // namespace zv
