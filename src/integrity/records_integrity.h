#pragma once

#include "integrity/access_code.h"
#include "integrity/event_log.h"
#include "integrity/installation_check.h"
#include "integrity/record_sealer.h"
#include "integrity/row_events.h"
#include "integrity/seal_check.h"
#include "integrity/seal_command.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace zv {

class RecordsDatabase;
class RecordsNotifier;

// The event log and the seals of one RecordsDatabase: it seals and logs every row the program
// writes to the book, Trains and Wagons (and seals Names), keeps the log beside the tables,
// checks the seals and remembers the findings until an engineer acknowledges them.
//
// Nothing is sealed behind anyone's back: the program seals on its own only the tables it has
// just made from their templates, and makes the key only for an installation that has sealed
// nothing yet (no key, no heads list, no log and no sealed table in its folder). Any other table
// without seals is a finding until an engineer seals it (sealUnsealed).
class RecordsIntegrity : public QObject {
    Q_OBJECT
public:
    // settingsFile: the key and the chain heads are kept beside it.
    RecordsIntegrity(RecordsDatabase& records, RecordsNotifier& notifier, const QString& settingsFile);
    ~RecordsIntegrity() override;

    EventLog& log() { return log_; }
    const EventLog& log() const { return log_; }
    bool ready() const { return !key_.isEmpty(); }

    // After the tables were opened (start-up, another folder): makes the key of a new
    // installation, opens the log of their folder (made when missing, with a message) and
    // writes the events that waited for it, seals the tables just made and takes the events
    // left in the table files.
    void tablesOpened();
    // Appends an event; a failure is kept in lastError(), never thrown. Events told before the
    // log is open (the start-up, a damaged settings file, tables made by the opening) wait and
    // go into the log with their own times when it opens.
    void record(const QString& kind, const QString& subject, const QString& oldValue = {}, const QString& newValue = {});
    // Takes the events committed with rows into the log and notes the chains' heads.
    void collect();
    // Takes them at the next turn of the event loop, once the writes of this turn are committed.
    void collectSoon(int delayMs = 0);

    // Checks the key, the heads and the seals of every sealed table and of the log, and misses
    // no sealed file deleted; new findings are logged (those found without a key cannot be).
    QList<SealFinding> check();
    // The findings not yet acknowledged: "Книга Book[12.2026]: изменена запись 17".
    QStringList outstanding() const;
    // Those about one table file and those about the whole installation, for the warning line
    // of its reports.
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
    // The titles of the tables that carry no seals.
    QStringList unsealedTables() const;
    // The engineer's seal of those tables (see sealOnCommand), their findings acknowledged.
    QList<SealedTable> sealUnsealed(const QString& by);

    // The last failure of the log or the seals, once: it is cleared by reading it.
    QString takeError() { return std::exchange(lastError_, {}); }

private:
    void useKey();
    void makeKeyForNewInstallation();
    void writeWaitingEvents();
    void sealTablesJustMade();
    bool madeByProgram(const Table& table) const;
    void noteHeads(bool acceptAll);
    InstallationRecords installation() const;
    QSet<QString> acknowledgeWhere(const std::function<bool(const QString& subject)>& chosen);
    QList<Event> unacknowledged() const;
    QStringList findingsFor(const std::function<bool(const QString& subject)>& chosen) const;

    RecordsDatabase& records_;
    RecordsNotifier& notifier_;
    QString settingsFile_;
    SealPaths paths_;
    QByteArray key_;
    EventLog log_;
    std::unique_ptr<SealHeads> heads_;
    HeadsStatus headsStatus_ = HeadsStatus::Trusted;
    std::unique_ptr<RecordSealer> sealer_;
    std::unique_ptr<RowEvents> rowEvents_;
    QList<Event> waiting_;
    bool noLog_ = false;  // no key could be had: events are not kept waiting
    QList<SealFinding> unlogged_;  // found without a key, so kept here instead of in the log
    bool collectQueued_ = false;
    mutable QString lastError_;
};

}  // namespace zv
