#include "central/outbox_listener.h"

#include "records/date_time_text.h"
#include "records/records_database.h"
#include "records/table_error.h"
#include "records/row.h"
#include "records/sqlite_file.h"
#include "records/table.h"


#include <algorithm>
#include <chrono>

namespace zv::central {

namespace {

// The mark keeps the last number given out in the file, also once its entries are gone.
const QString kCreate = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS zv_outbox (seq INTEGER PRIMARY KEY, tbl TEXT NOT NULL, op TEXT NOT NULL, "
    "pk TEXT, ref INTEGER);"
    "CREATE TABLE IF NOT EXISTS zv_outbox_mark (last INTEGER NOT NULL);"
    "INSERT INTO zv_outbox_mark SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM zv_outbox_mark);"
    "CREATE TRIGGER IF NOT EXISTS zv_outbox_marked AFTER INSERT ON zv_outbox "
    "BEGIN UPDATE zv_outbox_mark SET last = max(last, NEW.seq); END");

const QString kInsert = QStringLiteral(
    "INSERT INTO zv_outbox (seq, tbl, op, pk, ref) "
    "VALUES (max(?1, (SELECT last + 1 FROM zv_outbox_mark)), ?2, ?3, ?4, ?5)");

bool missingOutbox(const TableError& error) { return error.message().contains(QStringLiteral("no such table")); }

}  // namespace

QString rowKey(const Row& row) {
    const QString& key = row.def().primaryKey;
    if (key.isEmpty()) return QString::number(row.rowId());
    const QVariant value = row.value(key);
    if (value.typeId() == QMetaType::QDateTime) return dateTimeToStorage(value.toDateTime());
    return value.toString();
}

void OutboxListener::rowWritten(Table& table, const Row* before, const Row& after) {
    // A changed identity is a new row on the server: the old one goes first.
    if (before && rowKey(*before) != rowKey(after)) enter(table, 'D', *before);
    enter(table, 'U', after);
}

void OutboxListener::rowRemoved(Table& table, const Row& before) { enter(table, 'D', before); }

qint64 OutboxListener::nextNumber() const {
    const qint64 now = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    return std::max(now, last_ + 1);
}

void OutboxListener::enter(Table& table, char op, const Row& row) {
    SqliteFile& file = table.sqliteFile();
    const QVariantList values = {nextNumber(), table.def().name, QString(QChar::fromLatin1(op)), rowKey(row),
                                 row.rowId()};
    try {
        insert(table, values);
    } catch (const TableError& error) {
        // The first entry of a file makes its outbox (inside the same transaction).
        if (!missingOutbox(error)) throw;
        file.exec(kCreate);
        insert(table, values);
    }
    if (entered_) entered_();
}

void OutboxListener::insert(Table& table, const QVariantList& values) {
    // Prepared once per open file: a train of a hundred wagons makes a hundred entries.
    SqlStatement& statement = table.preparedStatement(kInsert);
    statement.bindAll(values);
    statement.step();
    statement.reset();
    last_ = table.sqliteFile().lastInsertRowId();
}

}  // namespace zv::central

namespace zv::central {

void OutboxListener::enterExisting(Table& table) {
    if (!table.isOpen()) return;
    SqliteFile& file = table.sqliteFile();
    SqlStatement marked = file.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name='zv_outbox_mark'"));
    if (marked.step()) return;
    const bool own = !file.inTransaction();
    file.exec(own ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT zv_seed"));
    try {
        file.exec(kCreate);
        SqlStatement rows = file.prepare(QStringLiteral("SELECT rowid FROM \"%1\" ORDER BY rowid").arg(table.def().name));
        while (rows.step())
            if (const std::optional<Row> row = table.storedRow(rows.columnInt64(0))) enter(table, 'U', *row);
        file.exec(own ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE zv_seed"));
    } catch (const TableError&) {
        file.exec(own ? QStringLiteral("ROLLBACK") : QStringLiteral("ROLLBACK TO zv_seed; RELEASE zv_seed"));
        throw;
    }
}

void enterExistingRows(OutboxListener& outbox, RecordsDatabase& records) {
    for (Table* table : {&records.Names(), &records.Loads(), &records.Stations(), &records.Clients(), &records.BasesW(),
                         &records.Wagons(), &records.Book(), &records.Trains()})
        outbox.enterExisting(*table);
}

}  // namespace zv::central
