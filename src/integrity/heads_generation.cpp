#include "integrity/heads_generation.h"

#include "integrity/seal_hash.h"
#include "integrity/seal_heads.h"
#include "records/sqlite_file.h"
#include "records/sql_statement.h"

namespace zv::heads_generation {

namespace {

const QString kTable = QStringLiteral("zv_heads");

QByteArray macOf(const QByteArray& key, qint64 generation) {
    return sealMacOf(key, "ZOLVelt heads generation " + QByteArray::number(generation));
}

bool hasTable(const SqliteFile& log) {
    SqlStatement meta = log.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name=?"));
    meta.bind(1, kTable);
    meta.step();
    return meta.columnInt64(0) > 0;
}

void note(SqliteFile& log, const QByteArray& key, qint64 generation) {
    log.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (id INTEGER PRIMARY KEY, generation INTEGER NOT NULL, "
                            "mac TEXT NOT NULL)")
                 .arg(kTable));
    SqlStatement write = log.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (1, ?, ?)").arg(kTable));
    write.bindAll({generation, QString::fromLatin1(macOf(key, generation))});
    write.step();
}

}  // namespace

qint64 noted(const SqliteFile& log, const QByteArray& key) {
    if (!hasTable(log)) return 0;
    SqlStatement read = log.prepare(QStringLiteral("SELECT generation, mac FROM %1 WHERE id=1").arg(kTable));
    if (!read.step()) return 0;
    const qint64 generation = read.columnInt64(0);
    return read.column(1).toString().toLatin1() == macOf(key, generation) ? generation : 0;
}

bool saveNoted(SealHeads& heads, SqliteFile& log, const QByteArray& key) {
    if (!heads.save()) return false;
    if (log.isOpen()) note(log, key, heads.generation());
    return true;
}

}  // namespace zv::heads_generation
