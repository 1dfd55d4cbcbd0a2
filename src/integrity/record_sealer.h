#pragma once

#include "records/row_write_listener.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

struct sqlite3;

namespace zv {

// The tables whose rows carry seals: the weighing book, Trains and Wagons.
bool isSealedTable(const Table& table);

// Seals every row the program writes to a sealed table, in the write's own transaction.
class RecordSealer : public RowWriteListener {
public:
    explicit RecordSealer(QByteArray key);
    ~RecordSealer() override;
    void rowWritten(Table& table, const Row* before, const Row& after) override;
    void rowRemoved(Table& table, const Row& before) override;

private:
    // The statements of one table's file, prepared once: a train stores a hundred rows.
    struct Writer;
    void seal(Table& table, qint64 rowId, bool removed);
    void append(Writer& writer, qint64 rowId, const QByteArray& digest);
    QByteArray digestOf(Writer& writer, qint64 rowId);
    Writer& writerFor(Table& table);

    QByteArray key_;
    QHash<QString, std::shared_ptr<Writer>> writers_;  // by table name
};

}  // namespace zv
