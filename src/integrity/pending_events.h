#pragma once

#include "records/sql_statement.h"

#include <QDateTime>
#include <QString>

#include <optional>

struct sqlite3;

namespace zv {

class SqliteFile;

// An event about rows of a table file, kept in that file ("zv_pending") until the log takes
// it: written in the transaction of the rows, it commits with them or not at all.
struct PendingEvent {
    QDateTime time;
    QString operatorName, kind, subject, oldValue, newValue;
    // Events of one action share a token: later rows of the action update its one event and
    // count themselves; "%n" in the new value becomes that count when the log takes it.
    QString action;
};

namespace pending {

inline constexpr const char* kPendingTable = "zv_pending";

void ensureTable(SqliteFile& file);

}  // namespace pending

// Keeps events in one table file through one statement, prepared again only when the file's
// connection changes (the statement keeps a closed connection alive, so its handle is unique).
class PendingWriter {
public:
    void add(SqliteFile& file, const PendingEvent& event);
    // Counts one more row into the event of `action` already kept in the file (in this
    // transaction), with the newest subject and value; false when there is none to count into.
    bool countInto(SqliteFile& file, const QString& action, const QString& subject, const QString& newValue);

private:
    // The event this writer counted into last, with the count it left there.
    struct Counted {
        qint64 id = 0;
        qint64 count = 0;
        QString action, subject, newValue;
    };
    void prepare(SqliteFile& file);
    bool countAgain(SqliteFile& file);
    sqlite3* db_ = nullptr;
    std::optional<SqlStatement> insert_, count_, countAgain_;
    std::optional<Counted> counted_;
};
}  // namespace zv
