#pragma once

#include "records/sqlite_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace zv {

class Clock;

struct Event {
    qint64 n = 0;
    QDateTime time;
    QString operatorName, kind, subject, oldValue, newValue;
};

// Which events a reading shows: a date range (either end open) and one kind (empty: all).
struct EventFilter {
    QDate from, to;
    QString kind;
};

// The event log: "Events.db" in the folder of the working tables, written only by appending.
// Every event is sealed like the rows of the weighing tables. Events about rows come from
// the files of those rows (see PendingEvent) and are taken over by collect().
class EventLog {
public:
    static constexpr const char* kFileName = "Events.db";
    static constexpr const char* kTable = "Events";

    explicit EventLog(const Clock& clock) : clock_(clock) {}

    // Opens the log of `folder`, making it when missing; true when it was made. Throws TableError.
    bool open(const QString& folder, const QByteArray& key);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    const QString& filePath() const { return path_; }
    SqliteFile& file() { return file_; }
    const QByteArray& key() const { return key_; }

    // Told of every event appended, inside the transaction that appends it: what the hook
    // writes into the log's file commits with the event or not at all.
    using Appended = std::function<void(SqliteFile& file, qint64 n)>;
    void setAppended(Appended appended) { appended_ = std::move(appended); }

    void setOperator(const QString& name) { operator_ = name; }
    const QString& operatorName() const { return operator_; }
    const Clock& clock() const { return clock_; }

    // Appends one event, committed durably before it returns. Throws TableError.
    void append(const QString& kind, const QString& subject, const QString& oldValue = {}, const QString& newValue = {});
    // The same with the time it happened, for an event noted before the log was open.
    void append(const Event& event);
    // Takes the events committed in a table file into the log and removes them there; does
    // nothing while that file is inside a transaction (its events may yet roll back).
    void collect(SqliteFile& source, const QString& sourceName);

    QList<Event> read(const EventFilter& filter) const;
    qint64 count() const;
    int countOf(const QString& kind) const;
    // The latest event of a kind (about one subject, when given).
    std::optional<Event> lastOf(const QString& kind, const QString& subject = {}) const;
    // Events of `kind` about `subject` later than the last event of `after` about it.
    QList<Event> since(const QString& kind, const QString& after) const;

private:
    void insert(const Event& event, const QString& origin);

    const Clock& clock_;
    SqliteFile file_;
    QString path_;
    QByteArray key_;
    QString operator_;
    Appended appended_;
};

}  // namespace zv
