#pragma once

#include <QList>

namespace zv {

class Row;
class Table;

// A row the transaction about to commit wrote or deleted, in the order of the writes; a write
// undone meanwhile (a step of a batch rolled back to its savepoint) is not among them.
struct TableWrite {
    qint64 rowId = 0;
    bool removed = false;
};

// Sees every row a table writes or deletes, inside the transaction of that write and before it
// commits: whatever a listener writes through the table's own file (Table::sqliteFile(), or a
// database attached to it) is committed together with the row, or not at all. A listener that
// throws makes the write fail and roll back whole; the table's cursor is left as it was.
// The rows carry the stored fields only: calculated and lookup fields are left empty.
class RowWriteListener {
public:
    virtual ~RowWriteListener() = default;
    // before: the stored row an update replaces, null for an insert; after: the row as stored now.
    virtual void rowWritten(Table& table, const Row* before, const Row& after) = 0;
    // before: the stored row that was deleted.
    virtual void rowRemoved(Table& table, const Row& before) = 0;
    // The table is about to commit the transaction of these writes: what a listener writes now
    // commits with them. A listener that throws makes the commit fail; the transaction is rolled
    // back whole.
    virtual void beforeCommit(Table&, const QList<TableWrite>&) {}
};

}  // namespace zv
