#pragma once

#include "integrity/access_code.h"
#include "integrity/event_log.h"
#include "integrity/record_sealer.h"
#include "integrity/row_events.h"
#include "integrity/seal_check.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace zv {

class RecordsDatabase;
class RecordsNotifier;

// The event log and the seals of one RecordsDatabase: it seals and logs every row the program
// writes to the book, Trains and Wagons, keeps the log beside the tables, checks the seals and
// remembers the findings until an engineer acknowledges them.
class RecordsIntegrity : public QObject {
    Q_OBJECT
public:
    // settingsFile: the key and the chain heads are kept beside it.
    RecordsIntegrity(RecordsDatabase& records, RecordsNotifier& notifier, const QString& settingsFile);
    ~RecordsIntegrity() override;

    EventLog& log() { return log_; }
    const EventLog& log() const { return log_; }
    bool ready() const { return !key_.isEmpty(); }

    // After the tables were opened (start-up, another folder): opens the log of their folder
    // (made when missing, with a message), seals the tables that have no seals yet and takes
    // the events left in the table files.
    void tablesOpened();
    // Appends an event; a failure is kept in lastError(), never thrown. Events told before the
    // log is open (the start-up, a damaged settings file, tables made by the opening) wait and
    // go into the log with their own times when it opens.
    void record(const QString& kind, const QString& subject, const QString& oldValue = {}, const QString& newValue = {});
    // Takes the events committed with rows into the log and notes the chains' heads.
    void collect();
    // Takes them at the next turn of the event loop, once the writes of this turn are committed.
    void collectSoon(int delayMs = 0);

    // Checks the seals of every sealed table and of the log, and misses no sealed file deleted;
    // new findings are logged.
    QList<SealFinding> check();
    // The findings not yet acknowledged: "Книга Book[12.2026]: изменена запись 17".
    QStringList outstanding() const;
    // Those about one table file, for the warning line of its reports.
    QStringList outstandingFor(const QString& fileName) const;
    // Acknowledges every finding (logged); the tables and the calibration as they are now
    // become the reference.
    void acknowledge();

    // The installation's access code, beside the key; a change told by the log makes a missing
    // code file a deleted one.
    AccessCode accessCode() const;
    // Compares the calibration the settings file gives with its seal; a difference is a
    // finding, logged once with a calibration event of the old and new values.
    void checkCalibration();
    // Seals the calibration the settings file gives now, after the program saved it; false
    // (with the error kept) when the seal cannot be written.
    bool sealCalibration();

    // The last failure of the log or the seals, once: it is cleared by reading it.
    QString takeError() { return std::exchange(lastError_, {}); }

private:
    void sealUnsealedTables();
    void noteHeads(bool acceptAll);
    QList<Event> unacknowledged() const;

    RecordsDatabase& records_;
    RecordsNotifier& notifier_;
    QString settingsFile_;
    SealPaths paths_;
    QByteArray key_;
    EventLog log_;
    std::unique_ptr<SealHeads> heads_;
    std::unique_ptr<RecordSealer> sealer_;
    std::unique_ptr<RowEvents> rowEvents_;
    QList<Event> waiting_;
    bool collectQueued_ = false;
    mutable QString lastError_;
};

// A file of the folder whose rows are sealed, and the table inside it.
struct SealedFile {
    QString path, table;
};
// Trains, Wagons, every book and the event log of a folder.
QList<SealedFile> sealedFilesIn(const QString& folder);

// Checks the sealed tables of a folder against a key and the heads seen last, and names the
// files sealed before that are gone from it.
QList<SealFinding> checkRecordsFolder(const QString& folder, const QByteArray& key, const SealHeads& heads);

}  // namespace zv
