#pragma once

#include "records/row_write_listener.h"

#include <QString>
#include <QtGlobal>

#include <functional>

namespace zv {
class RecordsDatabase;
class Row;
class SqliteFile;
class SqlStatement;
}

namespace zv::central {

// Enters every row a table writes or deletes into the outbox of that table's own file, in the
// write's transaction: the change and its entry are committed together or not at all, and an
// entry costs no extra file sync. An entry names the row (its rowid and its key) but does not
// copy it: the sender reads the row as it is then, so the server gets the latest content, and
// a deleted row's entry needs only its key. Entries are numbered from one counter for all files (the
// time in microseconds, never less than the last number given out or recorded in the file),
// so the sender can merge the files' outboxes into the order of the writes, and a row's later
// change always carries the higher number: that number is the version the server keeps.
class OutboxListener : public RowWriteListener {
public:
    void rowWritten(Table& table, const Row* before, const Row& after) override;
    void rowRemoved(Table& table, const Row& before) override;

    // An event appended to the log, inside the log's transaction (the log is no Table).
    void eventAppended(SqliteFile& file, qint64 n);

    // Enters every row of a table kept in a file that has never had an outbox, in one
    // transaction: what a folder held before sending was first switched on reaches the server
    // too, once. keyColumn: the column that identifies a row. A file that has an outbox
    // already only has it brought up to date.
    void enterExisting(SqliteFile& file, const QString& table, const QString& keyColumn);
    void enterExisting(Table& table);

    // Called after each entry (inside the write's transaction); the program wakes its sender.
    void setEntered(std::function<void()> entered) { entered_ = std::move(entered); }

private:
    void enter(Table& table, char op, const Row& row);
    void enterInto(SqliteFile& file, SqlStatement& insert, const QString& table, char op, const QString& key, qint64 rowId);
    qint64 nextNumber() const;

    qint64 last_ = 0;
    std::function<void()> entered_;
};

// The row's identity: its primary key as text.
QString rowKey(const Row& row);

// Whether any open table of the program keeps an outbox: the folder has sent before, and its
// changes keep entering the queue while sending is switched off, to go once it is on again.
bool keepsOutbox(RecordsDatabase& records);

// enterExisting for every open table of the program, for the books of earlier months kept in
// the tables folder, and for the event log.
void enterExistingRows(OutboxListener& outbox, RecordsDatabase& records);

}  // namespace zv::central
