#include "integrity/records_folder.h"

#include "integrity/event_log.h"
#include "integrity/pending_events.h"
#include "integrity/seal_chain.h"
#include "records/sqlite_file.h"

#include <QDir>
#include <QFileInfo>

namespace zv {

QString sealedTableOf(const QString& fileName) {
    for (const char* table : {"Trains", "Wagons", "Names"})
        if (fileName.compare(QLatin1String(table) + QStringLiteral(".db"), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(table);
    if (fileName.startsWith(QStringLiteral("Book"), Qt::CaseInsensitive)) return QStringLiteral("Book");
    if (fileName.compare(QString::fromLatin1(EventLog::kFileName), Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(EventLog::kTable);
    return {};
}

QList<SealedFile> sealedFilesIn(const QString& folder) {
    QList<SealedFile> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        const QString table = sealedTableOf(name);
        if (!table.isEmpty()) files.append({dir.filePath(name), table});
    }
    return files;
}

QString headsPathOf(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

bool folderHoldsSeals(const QString& folder) {
    for (const SealedFile& sealed : sealedFilesIn(folder)) {
        if (sealed.table == QLatin1String(EventLog::kTable)) return true;
        SqliteFile file;
        file.open(sealed.path, false);
        if (seals::isSealed(file)) return true;
    }
    return false;
}

// The program itself never removes a sealed file (archiving copies), so each was removed
// behind its back.
QStringList deletedFilesIn(const QString& folder, const SealHeads& heads) {
    QStringList gone;
    const QString dir = headsPathOf(folder);
    for (const QString& path : heads.files()) {
        const QFileInfo info(path);
        if (info.absolutePath() == dir && !info.exists() && !sealedTableOf(info.fileName()).isEmpty() &&
            heads.head(path)->n > 0)
            gone.append(path);
    }
    return gone;
}

void noteChainHeads(const QString& folder, SealHeads& heads, bool acceptAll) {
    if (acceptAll)
        for (const QString& path : deletedFilesIn(folder, heads)) heads.forget(path);
    for (const SealedFile& sealed : sealedFilesIn(folder)) {
        SqliteFile file;
        file.open(sealed.path, false);
        if (!seals::isSealed(file)) continue;
        const std::optional<seals::SealEntry> last = seals::lastEntry(file);
        const SealHead head = last ? SealHead{last->n, last->seal} : SealHead{};
        const QString path = headsPathOf(sealed.path);
        const std::optional<SealHead> known = heads.head(path);
        if (acceptAll || !known || seals::chainPasses(file, *known)) heads.setHead(path, head);
    }
}

QList<SealedFile> unsealedFilesIn(const QString& folder) {
    QList<SealedFile> unsealed;
    for (const SealedFile& found : sealedFilesIn(folder)) {
        SqliteFile file;
        file.open(found.path, false);
        if (!seals::isSealed(file)) unsealed.append(found);
    }
    return unsealed;
}

int sealFile(const SealedFile& sealed, const QByteArray& key) {
    SqliteFile file;
    file.open(sealed.path, false);
    file.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        const int rows = seals::sealExistingRows(file, key, sealed.table);
        if (sealed.table != QLatin1String(EventLog::kTable)) pending::ensureTable(file);
        file.exec(QStringLiteral("COMMIT"));
        return rows;
    } catch (...) {
        file.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

}  // namespace zv
