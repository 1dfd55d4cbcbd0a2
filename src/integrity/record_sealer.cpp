#include "integrity/record_sealer.h"

#include "integrity/seal_chain.h"
#include "records/table.h"
#include "records/table_error.h"

namespace zv {

bool isSealedTable(const Table& table) {
    const QString& name = table.def().name;
    return name == u"Trains" || name == u"Wagons" || name == u"Book";
}

void RecordSealer::rowWritten(Table& table, const Row*, const Row& after) { seal(table, after.rowId(), false); }

void RecordSealer::rowRemoved(Table& table, const Row& before) { seal(table, before.rowId(), true); }

void RecordSealer::seal(Table& table, qint64 rowId, bool removed) {
    if (!isSealedTable(table)) return;
    SqliteFile& file = table.sqliteFile();
    const QString& name = table.def().name;
    const QByteArray digest = removed ? QByteArray() : seals::storedRowDigest(file, name, rowId);
    try {
        seals::appendSeal(file, key_, name, rowId, digest);
    } catch (const TableError&) {
        if (seals::isSealed(file)) throw;
        // A table opened before the seals were set up gets them all now, this row included.
        seals::sealExistingRows(file, key_, name);
        if (removed) seals::appendSeal(file, key_, name, rowId, digest);
    }
}

}  // namespace zv
