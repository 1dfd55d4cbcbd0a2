#include "integrity/record_sealer.h"

#include "integrity/raw_rows.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_hash.h"
#include "records/table.h"
#include "records/table_error.h"

namespace zv {

// The statements keep the file's connection alive until they are finalized (SQLite makes a
// closed connection a zombie meanwhile), so a handle seen here is never another file's.
struct RecordSealer::Writer {
    Writer(const SqliteFile& file, const QString& table, const QByteArray& key)
        : db(file.handle()),
          digest(file, QStringLiteral("SELECT rowid, * FROM \"%1\" WHERE rowid=?").arg(table)),
          last(file, QStringLiteral("SELECT n, seal FROM %1 ORDER BY n DESC LIMIT 1").arg(QLatin1String(seals::kSealTable))),
          insert(file, QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?)").arg(QLatin1String(seals::kSealTable))),
          mac(key),
          genesis(seals::genesis(key, table)) {}

    sqlite3* db;
    RawRows digest, last, insert;
    SealHash mac;
    QByteArray genesis;
};

RecordSealer::RecordSealer(QByteArray key, MadeByProgram madeByProgram)
    : key_(std::move(key)), madeByProgram_(std::move(madeByProgram)) {}

RecordSealer::~RecordSealer() = default;

bool isSealedTable(const Table& table) {
    const QString& name = table.def().name;
    return isLoggedTable(table) || name == u"Names";
}

bool isLoggedTable(const Table& table) {
    const QString& name = table.def().name;
    return name == u"Trains" || name == u"Wagons" || name == u"Book";
}

// The rows are sealed when their transaction commits: a train's hundred rows are then chained
// at once, the chain's end read once, and the rows of steps undone meanwhile are not among them.
void RecordSealer::rowWritten(Table&, const Row*, const Row&) {}

void RecordSealer::rowRemoved(Table&, const Row&) {}

RecordSealer::Writer& RecordSealer::writerFor(Table& table) {
    std::shared_ptr<Writer>& writer = writers_[table.def().name];
    if (!writer || writer->db != table.sqliteFile().handle()) {
        writer.reset();
        writer = std::make_shared<Writer>(table.sqliteFile(), table.def().name, key_);
    }
    return *writer;
}

// The digest of a row written, as it is stored now; none when it is gone again (a later write
// of the same transaction deleted it, and that deletion has its own entry).
std::optional<QByteArray> RecordSealer::digestOf(Writer& writer, qint64 rowId) {
    writer.digest.reset();
    writer.digest.bind(1, rowId);
    std::optional<QByteArray> digest;
    if (writer.digest.step()) digest = writer.digest.digest(1);
    writer.digest.reset();
    return digest;
}

RecordSealer::Tail RecordSealer::lastEntry(Writer& writer) {
    writer.last.reset();
    Tail tail{0, writer.genesis};
    if (writer.last.step()) tail = {writer.last.integer(0), writer.last.text(1)};
    writer.last.reset();
    return tail;
}

RecordSealer::Tail RecordSealer::append(Writer& writer, const Tail& tail, qint64 rowId, const QByteArray& digest) {
    const Tail next{tail.n + 1, seals::chainSeal(writer.mac, tail.seal, tail.n + 1, rowId, digest)};
    writer.insert.reset();
    writer.insert.bind(1, next.n);
    writer.insert.bind(2, rowId);
    writer.insert.bindText(3, digest);
    writer.insert.bindText(4, next.seal);
    writer.insert.step();
    writer.insert.reset();
    return next;
}

void RecordSealer::sealWrites(Writer& writer, const QList<TableWrite>& writes) {
    Tail tail = lastEntry(writer);
    for (const TableWrite& write : writes) {
        const std::optional<QByteArray> digest = digestOf(writer, write.rowId);
        if (write.removed == digest.has_value()) continue;  // written again, or deleted, later on
        tail = append(writer, tail, write.rowId, digest.value_or(QByteArray()));
    }
}

void RecordSealer::beforeCommit(Table& table, const QList<TableWrite>& writes) {
    if (!isSealedTable(table)) return;
    SqliteFile& file = table.sqliteFile();
    const QString& name = table.def().name;
    try {
        sealWrites(writerFor(table), writes);
        return;
    } catch (const TableError&) {
        writers_.remove(name);
        if (seals::isSealed(file)) throw;
    }
    if (!madeByProgram_(table)) return;
    // A table just made gets its seals with its first commit, these rows included; a row it
    // deleted again is sealed as deleted.
    seals::sealExistingRows(file, key_, name);
    for (const TableWrite& write : writes)
        if (write.removed && seals::storedRowDigest(file, name, write.rowId).isEmpty())
            seals::appendSeal(file, key_, name, write.rowId, QByteArray());
}

}  // namespace zv
