#include "integrity/event_log.h"

#include "integrity/pending_events.h"
#include "integrity/seal_chain.h"
#include "records/clock.h"
#include "records/table.h"
#include "records/table_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zv {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
const QString kColumns = QStringLiteral("N, Time, Operator, Kind, Subject, OldValue, NewValue");

Event readEvent(const SqlStatement& row) {
    return Event{row.columnInt64(0), QDateTime::fromString(row.column(1).toString(), kTimeFormat), row.column(2).toString(),
                 row.column(3).toString(), row.column(4).toString(), row.column(5).toString(), row.column(6).toString()};
}

void createLog(const QString& path) {
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    {
        SqliteFile file;
        file.open(partial, true);
        file.exec(QStringLiteral("BEGIN"));
        file.exec(QStringLiteral("CREATE TABLE Events (N INTEGER PRIMARY KEY, Time TEXT NOT NULL, Operator TEXT, "
                                 "Kind TEXT NOT NULL, Subject TEXT, OldValue TEXT, NewValue TEXT, Origin TEXT UNIQUE)"));
        file.exec(QStringLiteral("CREATE INDEX EventsTime ON Events (Time)"));
        seals::createSealTable(file);
        file.exec(QStringLiteral("COMMIT"));
    }
    shareWithGroup(partial);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw TableError(QStringLiteral("Не удается создать журнал событий %1").arg(path));
    }
}

}  // namespace

bool EventLog::open(const QString& folder, const QByteArray& key) {
    close();
    key_ = key;
    path_ = QDir(folder).filePath(QString::fromLatin1(kFileName));
    const bool made = !QFileInfo::exists(path_);
    if (made) createLog(path_);
    file_.open(path_, false);
    return made;
}

void EventLog::insert(const Event& event, const QString& origin) {
    SqlStatement add = file_.prepare(
        QStringLiteral("INSERT OR IGNORE INTO Events (Time, Operator, Kind, Subject, OldValue, NewValue, Origin) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    add.bindAll({event.time.toString(kTimeFormat), event.operatorName, event.kind, event.subject, event.oldValue,
                 event.newValue, origin.isEmpty() ? QVariant() : QVariant(origin)});
    add.step();
    SqlStatement changes = file_.prepare(QStringLiteral("SELECT changes()"));
    changes.step();
    if (changes.columnInt64(0) == 0) return;  // taken before
    const qint64 rowId = file_.lastInsertRowId();
    seals::appendSeal(file_, key_, QString::fromLatin1(kTable), rowId, seals::storedRowDigest(file_, QString::fromLatin1(kTable), rowId));
    if (appended_) appended_(file_, rowId);
}

void EventLog::append(const QString& kind, const QString& subject, const QString& oldValue, const QString& newValue) {
    append(Event{0, clock_.now(), operator_, kind, subject, oldValue, newValue});
}

void EventLog::append(const Event& event) {
    if (!isOpen()) throw TableError(QStringLiteral("Журнал событий закрыт"));
    file_.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        insert(event, {});
        file_.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        file_.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void EventLog::collect(SqliteFile& source, const QString& sourceName) {
    if (!isOpen() || !source.isOpen() || source.inTransaction()) return;
    SqlStatement exists = source.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name=?"));
    exists.bind(1, QString::fromLatin1(pending::kPendingTable));
    exists.step();
    if (exists.columnInt64(0) == 0) return;

    SqlStatement read = source.prepare(QStringLiteral("SELECT id, time, operator, kind, subject, old, new, count FROM %1 ORDER BY id")
                                           .arg(QString::fromLatin1(pending::kPendingTable)));
    qint64 lastId = 0;
    file_.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        while (read.step()) {
            lastId = read.columnInt64(0);
            QString newValue = read.column(6).toString();
            newValue.replace(QStringLiteral("%n"), QString::number(read.columnInt64(7)));
            insert(Event{0, QDateTime::fromString(read.column(1).toString(), kTimeFormat), read.column(2).toString(),
                         read.column(3).toString(), read.column(4).toString(), read.column(5).toString(), newValue},
                   QStringLiteral("%1#%2").arg(sourceName).arg(lastId));
        }
        file_.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        file_.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    if (lastId == 0) return;
    // Taken events are removed once the log has them; a crash in between only leaves events
    // the log will ignore by their origin.
    SqlStatement remove = source.prepare(QStringLiteral("DELETE FROM %1 WHERE id<=?").arg(QString::fromLatin1(pending::kPendingTable)));
    remove.bind(1, lastId);
    remove.step();
}

QList<Event> EventLog::read(const EventFilter& filter) const {
    QString sql = QStringLiteral("SELECT %1 FROM Events WHERE 1").arg(kColumns);
    QVariantList parameters;
    if (filter.from.isValid()) {
        sql += QStringLiteral(" AND Time >= ?");
        parameters.append(filter.from.toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (filter.to.isValid()) {
        sql += QStringLiteral(" AND Time < ?");
        parameters.append(filter.to.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (!filter.kind.isEmpty()) {
        sql += QStringLiteral(" AND Kind = ?");
        parameters.append(filter.kind);
    }
    SqlStatement statement = file_.prepare(sql + QStringLiteral(" ORDER BY N"));
    statement.bindAll(parameters);
    QList<Event> events;
    while (statement.step()) events.append(readEvent(statement));
    return events;
}

qint64 EventLog::count() const {
    if (!isOpen()) return 0;
    SqlStatement statement = file_.prepare(QStringLiteral("SELECT count(*) FROM Events"));
    statement.step();
    return statement.columnInt64(0);
}

int EventLog::countOf(const QString& kind) const {
    if (!isOpen()) return 0;
    SqlStatement statement = file_.prepare(QStringLiteral("SELECT count(*) FROM Events WHERE Kind=?"));
    statement.bind(1, kind);
    statement.step();
    return static_cast<int>(statement.columnInt64(0));
}

std::optional<Event> EventLog::lastOf(const QString& kind, const QString& subject) const {
    if (!isOpen()) return std::nullopt;
    SqlStatement statement = file_.prepare(
        QStringLiteral("SELECT %1 FROM Events WHERE Kind=?1 AND (?2 IS NULL OR Subject=?3) ORDER BY N DESC LIMIT 1").arg(kColumns));
    statement.bindAll({kind, subject.isEmpty() ? QVariant() : QVariant(subject), subject});
    if (!statement.step()) return std::nullopt;
    return readEvent(statement);
}

QList<Event> EventLog::since(const QString& kind, const QString& after) const {
    QList<Event> events;
    if (!isOpen()) return events;
    SqlStatement statement = file_.prepare(
        QStringLiteral("SELECT %1 FROM Events e WHERE Kind=? AND N > coalesce((SELECT max(N) FROM Events a "
                       "WHERE a.Kind=? AND a.Subject=e.Subject), 0) ORDER BY N")
            .arg(kColumns));
    statement.bindAll({kind, after});
    while (statement.step()) events.append(readEvent(statement));
    return events;
}

}  // namespace zv
