#include "central/outbox_listener.h"

#include "central/central_tables.h"
#include "central/outbox_file.h"
#include "records/date_time_text.h"
#include "records/records_database.h"
#include "records/row.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "records/table_error.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>

namespace zv::central {

namespace {

bool missingOutbox(const TableError& error) { return error.message().contains(QStringLiteral("no such table")); }

// Runs `write` in the file's transaction, or in one of its own; the first entry of a file
// makes its outbox, inside that same transaction.
template <typename Write>
void withOutbox(SqliteFile& file, Write write) {
    try {
        write();
    } catch (const TableError& error) {
        if (!missingOutbox(error)) throw;
        outbox::prepare(file);
        write();
    }
}

const QString kEventsFile = QStringLiteral("Events.db");
const QString kEventsTable = QStringLiteral("Events");

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

void OutboxListener::enterInto(SqliteFile& file, SqlStatement& insert, const QString& table, char op, const QString& key,
                               qint64 rowId) {
    insert.reset();
    insert.bindAll({nextNumber(), table, QString(QChar::fromLatin1(op)), key, rowId});
    insert.step();
    insert.reset();
    last_ = file.lastInsertRowId();
}

void OutboxListener::enter(Table& table, char op, const Row& row) {
    const QString key = rowKey(row);
    // Prepared once per open file: a train of a hundred wagons makes a hundred entries.
    SqliteFile& file = table.sqliteFile();
    withOutbox(file, [&] { enterInto(file, table.preparedStatement(outbox::insertSql()), table.def().name, op, key, row.rowId()); });
    if (entered_) entered_();
}

void OutboxListener::eventAppended(SqliteFile& file, qint64 n) {
    withOutbox(file, [&] {
        SqlStatement insert = file.prepare(outbox::insertSql());
        enterInto(file, insert, kEventsTable, 'U', QString::number(n), n);
    });
    if (entered_) entered_();
}

void OutboxListener::enterExisting(SqliteFile& file, const QString& table, const QString& keyColumn) {
    if (outbox::exists(file)) return outbox::prepare(file);  // brings one of the first version up to date
    const bool own = !file.inTransaction();
    file.exec(own ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT zv_seed"));
    try {
        outbox::prepare(file);
        const QString key = keyColumn.isEmpty() ? QStringLiteral("rowid") : u'"' + keyColumn + u'"';
        SqlStatement rows = file.prepare(QStringLiteral("SELECT rowid, %1 FROM \"%2\" ORDER BY rowid").arg(key, table));
        SqlStatement insert = file.prepare(outbox::insertSql());
        while (rows.step()) enterInto(file, insert, table, 'U', rows.column(1).toString(), rows.columnInt64(0));
        file.exec(own ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE zv_seed"));
    } catch (const TableError&) {
        file.exec(own ? QStringLiteral("ROLLBACK") : QStringLiteral("ROLLBACK TO zv_seed; RELEASE zv_seed"));
        throw;
    }
}

void OutboxListener::enterExisting(Table& table) {
    if (table.isOpen()) enterExisting(table.sqliteFile(), table.def().name, table.def().primaryKey);
}

namespace {

QList<Table*> sentTables(RecordsDatabase& records) {
    return {&records.Names(), &records.Loads(), &records.Stations(), &records.Clients(), &records.BasesW(),
            &records.Wagons(), &records.Book(), &records.Trains()};
}

// The books of earlier months still in the tables folder ("Book[11.2026].db"), and the log.
QStringList otherFiles(RecordsDatabase& records) {
    const QDir dir(records.connection().folder());
    const QString current = records.Book().isOpen() ? records.Book().fileName() : QString();
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.db")}, QDir::Files))
        if (!bookMonth(name).isEmpty() && name.compare(current, Qt::CaseInsensitive) != 0) files.append(dir.filePath(name));
    if (dir.exists(kEventsFile)) files.append(dir.filePath(kEventsFile));
    return files;
}

}  // namespace

bool keepsOutbox(RecordsDatabase& records) {
    const QList<Table*> tables = sentTables(records);
    return std::any_of(tables.begin(), tables.end(), [](Table* t) { return t->isOpen() && outbox::exists(t->sqliteFile()); });
}

void enterExistingRows(OutboxListener& outbox, RecordsDatabase& records) {
    for (Table* table : sentTables(records)) outbox.enterExisting(*table);
    for (const QString& path : otherFiles(records)) {
        SqliteFile file;
        file.open(path, false);
        const bool events = QFileInfo(path).fileName() == kEventsFile;
        outbox.enterExisting(file, events ? kEventsTable : QStringLiteral("Book"), QStringLiteral("N"));
    }
}

}  // namespace zv::central
