#pragma once

#include "records/row_write_listener.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;

namespace zv {

// The tables whose rows carry seals: the weighing book, Trains, Wagons and the operators (Names).
bool isSealedTable(const Table& table);
// Those of them whose rows the event log tells one by one: all but Names, whose codes stay out of it.
bool isLoggedTable(const Table& table);

// Seals every row the program writes to a sealed table, in the write's own transaction, as it
// commits. A table without seals gets them only when the program itself has just made it
// (`madeByProgram`); any other stays unsealed, and reported, until an engineer seals it.
class RecordSealer : public RowWriteListener {
public:
    using MadeByProgram = std::function<bool(const Table&)>;
    RecordSealer(QByteArray key, MadeByProgram madeByProgram);
    ~RecordSealer() override;
    void rowWritten(Table& table, const Row* before, const Row& after) override;
    void rowRemoved(Table& table, const Row& before) override;
    void beforeCommit(Table& table, const QList<TableWrite>& writes) override;

private:
    // The statements of one table's file, prepared once: a train stores a hundred rows.
    struct Writer;
    // The chain's last entry: its number (0 while the chain is empty) and its seal.
    struct Tail {
        qint64 n = 0;
        QByteArray seal;
    };
    void sealWrites(Writer& writer, const QList<TableWrite>& writes);
    static std::optional<QByteArray> digestOf(Writer& writer, qint64 rowId);
    static Tail lastEntry(Writer& writer);
    static Tail append(Writer& writer, const Tail& tail, qint64 rowId, const QByteArray& digest);
    Writer& writerFor(Table& table);

    QByteArray key_;
    MadeByProgram madeByProgram_;
    QHash<QString, std::shared_ptr<Writer>> writers_;  // by table name
};

}  // namespace zv
