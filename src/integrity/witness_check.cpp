#include "integrity/witness_check.h"

#include "integrity/records_folder.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_check.h"
#include "records/sql_statement.h"
#include "records/sqlite_file.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QStringList>

#include <algorithm>

namespace zv {

namespace {

// What one file's chain holds of the heads witnessed for it.
struct FileVerdict {
    qint64 witnessedMost = 0;  // the longest chain witnessed
    qint64 localLast = 0;      // the chain's last entry now
    qint64 firstResealed = 0;  // the first witnessed entry now holding another seal
    bool gone = false, unsealed = false;
};

FileVerdict judgeFile(const QString& path, QList<ChainHead> heads) {
    FileVerdict verdict;
    for (const ChainHead& h : heads) verdict.witnessedMost = std::max(verdict.witnessedMost, h.n);
    if (!QFileInfo::exists(path)) {
        verdict.gone = true;
        return verdict;
    }
    SqliteFile file;
    file.open(path, false);
    if (!seals::isSealed(file)) {
        verdict.unsealed = true;
        return verdict;
    }
    const std::optional<seals::SealEntry> last = seals::lastEntry(file);
    verdict.localLast = last ? last->n : 0;
    std::sort(heads.begin(), heads.end(), [](const ChainHead& a, const ChainHead& b) { return a.n < b.n; });
    SqlStatement at = file.prepare(QStringLiteral("SELECT seal FROM %1 WHERE n=?").arg(QString::fromLatin1(seals::kSealTable)));
    for (const ChainHead& h : heads) {
        if (h.n > verdict.localLast) break;
        at.reset();
        at.bind(1, h.n);
        if (!at.step() || at.column(0).toString().toLatin1() != h.head) {
            verdict.firstResealed = h.n;
            break;
        }
    }
    return verdict;
}

QString verdictText(const FileVerdict& v) {
    const QString witnessed = QStringLiteral("центральная база засвидетельствовала записей цепочки: %1").arg(v.witnessedMost);
    if (v.gone) return QStringLiteral("файл удален после передачи в центральную базу (%1)").arg(witnessed);
    if (v.unsealed) return QStringLiteral("печати удалены после передачи в центральную базу (%1)").arg(witnessed);
    QStringList parts;
    if (v.firstResealed > 0)
        parts.append(QStringLiteral("печати переписаны после передачи в центральную базу: запись цепочки %1 "
                                    "не совпадает с засвидетельствованной")
                         .arg(v.firstResealed));
    if (v.localLast < v.witnessedMost)
        parts.append(QStringLiteral("файл заменен более старой копией: в цепочке записей %1, %2").arg(v.localLast).arg(witnessed));
    return parts.join(QStringLiteral("; "));
}

}  // namespace

QList<ChainHead> chainHeadsIn(const QString& folder) {
    QList<ChainHead> heads;
    for (const SealedFile& sealed : sealedFilesIn(folder)) {
        SqliteFile file;
        file.open(sealed.path, false);
        if (!seals::isSealed(file)) continue;
        if (const std::optional<seals::SealEntry> last = seals::lastEntry(file))
            heads.append({QFileInfo(sealed.path).fileName(), last->n, last->seal});
    }
    return heads;
}

QList<WitnessFinding> compareWithWitness(const QString& folder, const QList<ChainHead>& witnessed) {
    QMap<QString, QList<ChainHead>> byFile;
    for (const ChainHead& h : witnessed)
        if (h.n > 0) byFile[h.file].append(h);
    QList<WitnessFinding> findings;
    const QDir dir(folder);
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it) {
        // A name from the server is a file of this folder only, never a path elsewhere.
        if (it.key().contains(u'/') || it.key().startsWith(u'.')) continue;
        const QString text = verdictText(judgeFile(dir.filePath(it.key()), it.value()));
        if (text.isEmpty()) continue;
        const QString title = tableTitle(it.key());
        findings.append({title, QStringLiteral("%1: %2").arg(title, text)});
    }
    return findings;
}

}  // namespace zv
