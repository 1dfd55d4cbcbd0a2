#pragma once

#include "records/row_write_listener.h"

#include <QByteArray>
#include <QString>

namespace zv {

// The tables whose rows carry seals: the weighing book, Trains and Wagons.
bool isSealedTable(const Table& table);

// Seals every row the program writes to a sealed table, in the write's own transaction.
class RecordSealer : public RowWriteListener {
public:
    explicit RecordSealer(QByteArray key) : key_(std::move(key)) {}
    void rowWritten(Table& table, const Row* before, const Row& after) override;
    void rowRemoved(Table& table, const Row& before) override;

private:
    void seal(Table& table, qint64 rowId, bool removed);
    QByteArray key_;
};

}  // namespace zv
