#include "integrity/pending_events.h"

#include "records/sqlite_file.h"
#include "records/sql_statement.h"
#include "records/table_error.h"

#include <sqlite3.h>

#include <optional>

namespace zv::pending {

void ensureTable(SqliteFile& file) {
    // AUTOINCREMENT: an id is never used twice, so the log can tell an event it took already.
    file.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT, "
                             "operator TEXT, kind TEXT, subject TEXT, old TEXT, new TEXT, action TEXT UNIQUE, "
                             "count INTEGER NOT NULL DEFAULT 1)")
                  .arg(QString::fromLatin1(kPendingTable)));
}

namespace {

SqlStatement prepareAdd(SqliteFile& file) {
    return file.prepare(
        QStringLiteral("INSERT INTO %1 (time, operator, kind, subject, old, new, action) VALUES (?, ?, ?, ?, ?, ?, ?) "
                       "ON CONFLICT(action) DO UPDATE SET subject=excluded.subject, new=excluded.new, count=count+1")
            .arg(QString::fromLatin1(kPendingTable)));
}

SqlStatement prepareCount(SqliteFile& file) {
    return file.prepare(QStringLiteral("UPDATE %1 SET subject=?, new=?, count=count+1 WHERE action=? RETURNING id, count")
                            .arg(QString::fromLatin1(kPendingTable)));
}

// The count alone, when the row still holds the count this writer left in it.
SqlStatement prepareCountAgain(SqliteFile& file) {
    return file.prepare(QStringLiteral("UPDATE %1 SET count=count+1 WHERE id=? AND count=?")
                            .arg(QString::fromLatin1(kPendingTable)));
}

}  // namespace

}  // namespace zv::pending

namespace zv {

void PendingWriter::prepare(SqliteFile& file) {
    if (insert_ && db_ == file.handle()) return;
    insert_.reset();
    count_.reset();
    try {
        insert_.emplace(pending::prepareAdd(file));
    } catch (const TableError&) {  // the first event of a file from an earlier version
        pending::ensureTable(file);
        insert_.emplace(pending::prepareAdd(file));
    }
    count_.emplace(pending::prepareCount(file));
    countAgain_.emplace(pending::prepareCountAgain(file));
    counted_.reset();
    db_ = file.handle();
}

void PendingWriter::add(SqliteFile& file, const PendingEvent& event) {
    prepare(file);
    SqlStatement& insert = *insert_;
    insert.reset();
    insert.bindAll({event.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")), event.operatorName, event.kind,
                    event.subject, event.oldValue, event.newValue,
                    event.action.isEmpty() ? QVariant() : QVariant(event.action)});
    insert.step();
    insert.reset();
}

bool PendingWriter::countInto(SqliteFile& file, const QString& action, const QString& subject, const QString& newValue) {
    prepare(file);
    if (counted_ && counted_->action == action && counted_->subject == subject && counted_->newValue == newValue &&
        countAgain(file))
        return true;
    counted_.reset();
    SqlStatement& count = *count_;
    count.reset();
    count.bindAll({subject, newValue, action});
    const bool found = count.step();
    if (found) counted_ = Counted{count.columnInt64(0), count.columnInt64(1), action, subject, newValue};
    count.reset();
    return found;
}

// A later row of an action with the same subject and value (the 99 more wagons of a train)
// only adds to the count. A step rolled back since, or the log having taken the event, leaves
// the row with another count or none, and the full statement runs instead.
bool PendingWriter::countAgain(SqliteFile& file) {
    SqlStatement& again = *countAgain_;
    again.reset();
    again.bind(1, counted_->id);
    again.bind(2, counted_->count);
    again.step();
    again.reset();
    if (sqlite3_changes(file.handle()) == 0) return false;
    ++counted_->count;
    return true;
}

}  // namespace zv
