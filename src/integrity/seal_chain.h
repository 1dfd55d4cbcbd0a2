#pragma once

#include "integrity/seal_heads.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zv {

class SealHash;
class SqliteFile;

// The seals of one table file: a chain of entries in a table of their own beside the rows
// ("zv_seal"), one entry per row written or deleted. Entry n holds the row's id, the digest of
// the row's stored values (empty for a deletion) and a keyed hash of the previous entry's seal,
// n, the id and the digest. Without the key no entry can be made or changed unseen, and the
// latest entry of every row tells what the row must hold.
namespace seals {

inline constexpr const char* kSealTable = "zv_seal";

struct SealEntry {
    qint64 n = 0;
    qint64 rowId = 0;
    QByteArray digest;  // hex; empty: the row was deleted
    QByteArray seal;    // hex
};

// The seal the chain of `table` starts from.
QByteArray genesis(const QByteArray& key, const QString& table);
QByteArray chainSeal(const QByteArray& key, const QByteArray& previous, qint64 n, qint64 rowId,
                     const QByteArray& digest);
// The same with a code made once for many entries (its key is the seal key).
QByteArray chainSeal(SealHash& mac, const QByteArray& previous, qint64 n, qint64 rowId,
                     const QByteArray& digest);
// The digest of the row as stored now; empty when there is no such row.
QByteArray storedRowDigest(const SqliteFile& file, const QString& table, qint64 rowId);

bool isSealed(const SqliteFile& file);
void createSealTable(SqliteFile& file);
std::optional<SealEntry> lastEntry(const SqliteFile& file);
// Whether the chain of the file passes through `head` (its entry there has that seal).
bool chainPasses(const SqliteFile& file, const SealHead& head);
// Appends the entry of a row written (digest of its values) or deleted (empty digest).
void appendSeal(SqliteFile& file, const QByteArray& key, const QString& table, qint64 rowId,
                const QByteArray& digest);
// Seals every row of a table that has no seals yet, in row order; gives the number of rows.
int sealExistingRows(SqliteFile& file, const QByteArray& key, const QString& table);

}  // namespace seals
}  // namespace zv
