#include "integrity/seal_chain.h"

#include "integrity/raw_rows.h"
#include "integrity/seal_hash.h"
#include "records/sqlite_file.h"
#include "records/sql_statement.h"


namespace zv::seals {

namespace {

QString quoted(const QString& name) { return u'"' + name + u'"'; }

}  // namespace

QByteArray genesis(const QByteArray& key, const QString& table) {
    return sealMacOf(key, "ZOLVelt seals " + table.toUtf8());
}

QByteArray chainSeal(const QByteArray& key, const QByteArray& previous, qint64 n, qint64 rowId, const QByteArray& digest) {
    SealHash mac(key);
    return chainSeal(mac, previous, n, rowId, digest);
}

QByteArray chainSeal(SealHash& mac, const QByteArray& previous, qint64 n, qint64 rowId, const QByteArray& digest) {
    mac.reset();
    mac.add(previous);
    mac.addNumber(n);
    mac.addNumber(rowId);
    mac.add(digest);
    return mac.hexResult();
}

QByteArray storedRowDigest(const SqliteFile& file, const QString& table, qint64 rowId) {
    RawRows read(file, QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid=?").arg(quoted(table)));
    read.bind(1, rowId);
    return read.step() ? read.digest(1) : QByteArray();
}

bool isSealed(const SqliteFile& file) {
    SqlStatement meta = file.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name=?"));
    meta.bind(1, QString::fromLatin1(kSealTable));
    meta.step();
    return meta.columnInt64(0) > 0;
}

void createSealTable(SqliteFile& file) {
    file.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (n INTEGER PRIMARY KEY, rid INTEGER NOT NULL, "
                             "digest TEXT NOT NULL, seal TEXT NOT NULL)")
                  .arg(QString::fromLatin1(kSealTable)));
}

std::optional<SealEntry> lastEntry(const SqliteFile& file) {
    SqlStatement read = file.prepare(
        QStringLiteral("SELECT n, rid, digest, seal FROM %1 ORDER BY n DESC LIMIT 1").arg(QString::fromLatin1(kSealTable)));
    if (!read.step()) return std::nullopt;
    return SealEntry{read.columnInt64(0), read.columnInt64(1), read.column(2).toString().toLatin1(),
                     read.column(3).toString().toLatin1()};
}

bool chainPasses(const SqliteFile& file, const SealHead& head) {
    if (head.n == 0) return true;
    SqlStatement at = file.prepare(QStringLiteral("SELECT seal FROM %1 WHERE n=?").arg(QString::fromLatin1(kSealTable)));
    at.bind(1, head.n);
    return at.step() && at.column(0).toString().toLatin1() == head.seal;
}

void appendSeal(SqliteFile& file, const QByteArray& key, const QString& table, qint64 rowId, const QByteArray& digest) {
    const std::optional<SealEntry> last = lastEntry(file);
    const qint64 n = last ? last->n + 1 : 1;
    const QByteArray seal = chainSeal(key, last ? last->seal : genesis(key, table), n, rowId, digest);
    SqlStatement insert = file.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?)").arg(QString::fromLatin1(kSealTable)));
    insert.bindAll({n, rowId, QString::fromLatin1(digest), QString::fromLatin1(seal)});
    insert.step();
}

int sealExistingRows(SqliteFile& file, const QByteArray& key, const QString& table) {
    createSealTable(file);
    RawRows read(file, QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(quoted(table)));
    SqlStatement insert = file.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?)").arg(QString::fromLatin1(kSealTable)));
    QByteArray previous = genesis(key, table);
    SealHash mac(key);
    qint64 n = 0;
    while (read.step()) {
        const qint64 rowId = read.integer(0);
        const QByteArray digest = read.digest(1);
        previous = chainSeal(mac, previous, ++n, rowId, digest);
        insert.reset();
        insert.bindAll({n, rowId, QString::fromLatin1(digest), QString::fromLatin1(previous)});
        insert.step();
    }
    return static_cast<int>(n);
}

}  // namespace zv::seals
