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

void RecordSealer::rowWritten(Table& table, const Row*, const Row& after) { seal(table, after.rowId(), false); }

void RecordSealer::rowRemoved(Table& table, const Row& before) { seal(table, before.rowId(), true); }

RecordSealer::Writer& RecordSealer::writerFor(Table& table) {
    std::shared_ptr<Writer>& writer = writers_[table.def().name];
    if (!writer || writer->db != table.sqliteFile().handle()) {
        writer.reset();
        writer = std::make_shared<Writer>(table.sqliteFile(), table.def().name, key_);
    }
    return *writer;
}

QByteArray RecordSealer::digestOf(Writer& writer, qint64 rowId) {
    writer.digest.reset();
    writer.digest.bind(1, rowId);
    const QByteArray digest = writer.digest.step() ? writer.digest.digest(1) : QByteArray();
    writer.digest.reset();
    return digest;
}

void RecordSealer::append(Writer& writer, qint64 rowId, const QByteArray& digest) {
    writer.last.reset();
    const bool any = writer.last.step();
    const qint64 n = any ? writer.last.integer(0) + 1 : 1;
    const QByteArray previous = any ? writer.last.text(1) : writer.genesis;
    writer.last.reset();
    const QByteArray seal = seals::chainSeal(writer.mac, previous, n, rowId, digest);
    writer.insert.reset();
    writer.insert.bind(1, n);
    writer.insert.bind(2, rowId);
    writer.insert.bindText(3, digest);
    writer.insert.bindText(4, seal);
    writer.insert.step();
    writer.insert.reset();
}

void RecordSealer::seal(Table& table, qint64 rowId, bool removed) {
    if (!isSealedTable(table)) return;
    SqliteFile& file = table.sqliteFile();
    const QString& name = table.def().name;
    try {
        Writer& writer = writerFor(table);
        append(writer, rowId, removed ? QByteArray() : digestOf(writer, rowId));
        return;
    } catch (const TableError&) {
        writers_.remove(name);
        if (seals::isSealed(file)) throw;
    }
    if (!madeByProgram_(table)) return;
    // A table just made gets its seals with its first write, this row included.
    const QByteArray digest = removed ? QByteArray() : seals::storedRowDigest(file, name, rowId);
    seals::sealExistingRows(file, key_, name);
    if (removed) seals::appendSeal(file, key_, name, rowId, digest);
}

}  // namespace zv
