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
    return file.prepare(QStringLiteral("UPDATE %1 SET subject=?, new=?, count=count+1 WHERE action=?")
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
    SqlStatement& count = *count_;
    count.reset();
    count.bindAll({subject, newValue, action});
    count.step();
    count.reset();
    return sqlite3_changes(file.handle()) > 0;
}

}  // namespace zv
