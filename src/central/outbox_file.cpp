#include "central/outbox_file.h"

#include "records/sqlite_file.h"
#include "records/sql_statement.h"
#include "records/table_error.h"

namespace zv::central::outbox {

namespace {

const QString kCreate = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS zv_outbox (seq INTEGER PRIMARY KEY, tbl TEXT NOT NULL, op TEXT NOT NULL, "
    "pk TEXT, ref INTEGER);"
    "CREATE TABLE IF NOT EXISTS zv_outbox_mark (last INTEGER NOT NULL, sent INTEGER);"
    "INSERT INTO zv_outbox_mark (last) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM zv_outbox_mark)");

bool hasColumn(const SqliteFile& file, const QString& table, const QString& column) {
    SqlStatement columns = file.prepare(QStringLiteral("SELECT 1 FROM pragma_table_info(?) WHERE name=?"));
    columns.bindAll({table, column});
    return columns.step();
}

// An outbox of the first version kept its mark with a trigger on every entry and knew no
// time of the last transfer; the mark is now kept when entries are removed.
void upgrade(SqliteFile& file) {
    file.exec(QStringLiteral("DROP TRIGGER IF EXISTS zv_outbox_marked"));
    if (!hasColumn(file, QStringLiteral("zv_outbox_mark"), QStringLiteral("sent")))
        file.exec(QStringLiteral("ALTER TABLE zv_outbox_mark ADD COLUMN sent INTEGER"));
}

const QString kCreateRejected = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS zv_outbox_rejected (seq INTEGER PRIMARY KEY, tbl TEXT NOT NULL, op TEXT NOT NULL, "
    "pk TEXT, ref INTEGER, at INTEGER, reason TEXT)");

bool hasTable(const SqliteFile& file, const QString& name) {
    SqlStatement query = file.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?"));
    query.bind(1, name);
    return query.step();
}

template <typename Work>
void inTransaction(SqliteFile& file, Work work) {
    file.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        work();
        file.exec(QStringLiteral("COMMIT"));
    } catch (const TableError&) {
        file.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

}  // namespace

const QString& insertSql() {
    static const QString sql = QStringLiteral(
        "INSERT INTO zv_outbox (seq, tbl, op, pk, ref) "
        "VALUES (max(?1, (SELECT last + 1 FROM zv_outbox_mark), (SELECT coalesce(max(seq), 0) + 1 FROM zv_outbox)), "
        "?2, ?3, ?4, ?5)");
    return sql;
}

bool exists(const SqliteFile& file) { return hasTable(file, QStringLiteral("zv_outbox")); }

void prepare(SqliteFile& file) {
    const auto work = [&] {
        file.exec(kCreate);
        upgrade(file);
    };
    if (file.inTransaction()) return work();
    inTransaction(file, work);
}

void removeSent(SqliteFile& file, qint64 seq, const QDateTime& at) {
    inTransaction(file, [&] {
        upgrade(file);  // the sender may be the first to see a file of the first version
        SqlStatement mark = file.prepare(QStringLiteral("UPDATE zv_outbox_mark SET last = max(last, ?), sent = ?"));
        mark.bindAll({seq, at.toMSecsSinceEpoch()});
        mark.step();
        SqlStatement erase = file.prepare(QStringLiteral("DELETE FROM zv_outbox WHERE seq <= ?"));
        erase.bind(1, seq);
        erase.step();
    });
}

void setAside(SqliteFile& file, qint64 seq, const QString& reason, const QDateTime& at) {
    inTransaction(file, [&] {
        file.exec(kCreateRejected);
        SqlStatement keep = file.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO zv_outbox_rejected SELECT seq, tbl, op, pk, ref, ?, ? FROM zv_outbox WHERE seq = ?"));
        keep.bindAll({at.toMSecsSinceEpoch(), reason, seq});
        keep.step();
        SqlStatement mark = file.prepare(QStringLiteral("UPDATE zv_outbox_mark SET last = max(last, ?)"));
        mark.bind(1, seq);
        mark.step();
        SqlStatement erase = file.prepare(QStringLiteral("DELETE FROM zv_outbox WHERE seq = ?"));
        erase.bind(1, seq);
        erase.step();
    });
}

qint64 rejectedCount(const SqliteFile& file) {
    if (!hasTable(file, QStringLiteral("zv_outbox_rejected"))) return 0;
    SqlStatement query = file.prepare(QStringLiteral("SELECT count(*) FROM zv_outbox_rejected"));
    query.step();
    return query.columnInt64(0);
}

qint64 retryRejected(SqliteFile& file) {
    const qint64 count = rejectedCount(file);
    if (count == 0) return 0;
    inTransaction(file, [&] {
        file.exec(QStringLiteral("INSERT OR IGNORE INTO zv_outbox SELECT seq, tbl, op, pk, ref FROM zv_outbox_rejected; "
                                 "DELETE FROM zv_outbox_rejected"));
    });
    return count;
}

QDateTime lastSent(const SqliteFile& file) {
    try {
        SqlStatement query = file.prepare(QStringLiteral("SELECT sent FROM zv_outbox_mark WHERE sent IS NOT NULL"));
        if (query.step()) return QDateTime::fromMSecsSinceEpoch(query.columnInt64(0));
    } catch (const TableError&) {
        // An outbox of the first version, not brought up to date yet: nothing recorded.
    }
    return {};
}

}  // namespace zv::central::outbox
