#pragma once

namespace zv {

class Row;
class Table;

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
};

}  // namespace zv
