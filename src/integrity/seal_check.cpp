#include "integrity/seal_check.h"

#include "integrity/raw_rows.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_hash.h"
#include "records/sqlite_file.h"
#include "records/sql_statement.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace zv {

namespace {

QString quoted(const QString& name) { return u'"' + name + u'"'; }

QString numbers(QList<qint64> ids) {
    std::sort(ids.begin(), ids.end());
    QStringList texts;
    for (qint64 id : ids) texts.append(QString::number(id));
    return texts.join(QStringLiteral(", "));
}

// "изменена запись 17" / "изменены записи 17, 18"
QString rowsPart(const QString& one, const QString& many, const QList<qint64>& ids) {
    return QStringLiteral("%1 %2").arg(ids.size() == 1 ? one : many, numbers(ids));
}

QString deletedPart(int count) {
    const int last = count % 10, lastTwo = count % 100;
    if (last == 1 && lastTwo != 11) return QStringLiteral("удалена %1 запись").arg(count);
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) return QStringLiteral("удалены %1 записи").arg(count);
    return QStringLiteral("удалено %1 записей").arg(count);
}

// Walks the chain: a broken link names the row of the entry; the latest entry of each row wins.
QHash<qint64, QByteArray> walkChain(const SqliteFile& file, const QString& table, const QByteArray& key, SealFinding& finding) {
    QHash<qint64, QByteArray> expected;
    RawRows read(file, QStringLiteral("SELECT n, rid, digest, seal FROM %1 ORDER BY n").arg(QString::fromLatin1(seals::kSealTable)));
    QByteArray previous = seals::genesis(key, table), recomputed = previous;
    SealHash mac(key);
    qint64 n = 0;
    QSet<qint64> broken;
    while (read.step()) {
        const qint64 entry = read.integer(0), rowId = read.integer(1);
        const QByteArray digest = read.text(2);
        const QByteArray seal = read.text(3);
        // After an entry whose seal alone was edited the chain goes on from the seal it should have.
        const QByteArray wanted = seals::chainSeal(mac, previous, entry, rowId, digest);
        if (entry != n + 1 || (wanted != seal && seals::chainSeal(mac, recomputed, entry, rowId, digest) != seal))
            broken.insert(rowId);
        recomputed = wanted;
        previous = seal;
        n = entry;
        if (digest.isEmpty())
            expected.remove(rowId);
        else
            expected.insert(rowId, digest);
    }
    finding.brokenSeals = broken.values();
    finding.head = SealHead{n, n == 0 ? QByteArray() : previous};
    return expected;
}

void compareRows(const SqliteFile& file, const QString& table, const QHash<qint64, QByteArray>& expected,
                 SealFinding& finding) {
    RawRows read(file, QStringLiteral("SELECT rowid, * FROM %1").arg(quoted(table)));
    QHash<qint64, QByteArray> mismatched;  // row id -> digest found
    QSet<qint64> seen;
    while (read.step()) {
        const qint64 rowId = read.integer(0);
        const auto it = expected.constFind(rowId);
        if (it == expected.constEnd()) {
            finding.inserted.append(rowId);
            continue;
        }
        seen.insert(rowId);
        const QByteArray digest = read.digest(1);
        if (digest != *it) mismatched.insert(rowId, digest);
    }
    finding.deleted = static_cast<int>(expected.size() - seen.size());
    // A changed row that holds what another changed row should hold was moved there.
    QSet<QByteArray> wanted;
    for (auto it = mismatched.cbegin(); it != mismatched.cend(); ++it) wanted.insert(expected.value(it.key()));
    for (auto it = mismatched.cbegin(); it != mismatched.cend(); ++it)
        (wanted.contains(*it) ? finding.swapped : finding.changed).append(it.key());
}

}  // namespace

QString tableTitle(const QString& fileName) {
    QString name = fileName;
    if (name.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) name.chop(3);
    if (name.startsWith(QStringLiteral("Book"), Qt::CaseInsensitive)) return QStringLiteral("Книга %1").arg(name);
    if (name.compare(QStringLiteral("Events"), Qt::CaseInsensitive) == 0) return QStringLiteral("Журнал событий");
    return QStringLiteral("Таблица %1").arg(name);
}

QString SealFinding::text() const {
    QStringList parts;
    if (fileDeleted) parts.append(QStringLiteral("файл удален"));
    if (sealsRemoved) parts.append(QStringLiteral("печати удалены"));
    else if (unsealed) parts.append(QStringLiteral("записи не опечатаны"));
    if (edited) parts.append(QStringLiteral("изменен в обход программы"));
    if (olderCopy) parts.append(QStringLiteral("файл заменен более старой копией"));
    if (!changed.isEmpty()) parts.append(rowsPart(QStringLiteral("изменена запись"), QStringLiteral("изменены записи"), changed));
    if (!swapped.isEmpty())
        parts.append(rowsPart(QStringLiteral("переставлена запись"), QStringLiteral("переставлены записи"), swapped));
    if (!inserted.isEmpty())
        parts.append(rowsPart(QStringLiteral("добавлена запись"), QStringLiteral("добавлены записи"), inserted));
    if (deleted > 0) parts.append(deletedPart(deleted));
    if (!brokenSeals.isEmpty())
        parts.append(rowsPart(QStringLiteral("повреждена печать записи"), QStringLiteral("повреждены печати записей"), brokenSeals));
    return QStringLiteral("%1: %2").arg(title, parts.join(QStringLiteral("; ")));
}

SealFinding checkSeals(const SqliteFile& file, const QString& table, const QString& title, const QByteArray& key,
                       const std::optional<SealHead>& lastSeen) {
    SealFinding finding;
    finding.title = title;
    if (!seals::isSealed(file)) {
        finding.unsealed = true;
        finding.sealsRemoved = lastSeen.has_value();
        return finding;
    }
    compareRows(file, table, walkChain(file, table, key, finding), finding);
    // A seal table emptied is told as the seals removed, not as an older copy.
    finding.sealsRemoved = lastSeen && lastSeen->n > 0 && finding.head.n == 0;
    finding.olderCopy = !finding.sealsRemoved && lastSeen && !seals::chainPasses(file, *lastSeen);
    return finding;
}

}  // namespace zv
