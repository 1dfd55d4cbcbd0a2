#include "integrity/installation_check.h"

#include "integrity/event_log.h"
#include "integrity/heads_generation.h"
#include "integrity/records_folder.h"
#include "records/sqlite_file.h"

#include <QDir>
#include <QFileInfo>

namespace zv {

bool sealedNothingYet(const SealPaths& paths, const QString& folder) {
    return !QFileInfo::exists(paths.heads) && !folderHoldsSeals(folder);
}

namespace {

const QString kKeyTitle = QStringLiteral("Ключ печатей");
const QString kHeadsTitle = QStringLiteral("Список печатей");

// The generation of the heads the log of the folder has seen; 0 without a log.
qint64 generationSeen(const QString& folder, const QByteArray& key) {
    const QString path = QDir(folder).filePath(QString::fromLatin1(EventLog::kFileName));
    if (!QFileInfo::exists(path)) return 0;
    SqliteFile log;
    log.open(path, false);
    return heads_generation::noted(log, key);
}

QList<SealFinding> keyFindings(const InstallationRecords& records) {
    if (QFileInfo::exists(records.paths.key)) return {};  // one that cannot be read is an error, told as such
    if (sealedNothingYet(records.paths, records.folder)) return {};
    SealFinding finding;
    finding.title = kKeyTitle;
    finding.fileDeleted = true;
    return {finding};
}

QList<SealFinding> headsFindings(const InstallationRecords& records) {
    SealFinding finding;
    finding.title = kHeadsTitle;
    finding.fileDeleted = records.headsStatus == HeadsStatus::Missing;
    finding.edited = records.headsStatus == HeadsStatus::Edited;
    finding.olderCopy = records.headsStatus == HeadsStatus::OlderCopy;
    if (finding.clean()) return {};
    return {finding};
}

QList<SealFinding> tableFindings(const InstallationRecords& records) {
    QList<SealFinding> findings;
    if (records.key.isEmpty() || !records.heads) return findings;
    for (const SealedFile& sealed : sealedFilesIn(records.folder)) {
        SqliteFile file;
        file.open(sealed.path, false);
        SealFinding finding = checkSeals(file, sealed.table, tableTitle(QFileInfo(sealed.path).fileName()), records.key,
                                         records.heads->head(headsPathOf(sealed.path)));
        if (!finding.clean()) findings.append(finding);
    }
    return findings;
}

QList<SealFinding> deletedFileFindings(const InstallationRecords& records) {
    QList<SealFinding> findings;
    if (!records.heads) return findings;
    for (const QString& path : deletedFilesIn(records.folder, *records.heads)) {
        SealFinding deleted;
        deleted.title = tableTitle(QFileInfo(path).fileName());
        deleted.fileDeleted = true;
        findings.append(deleted);
    }
    return findings;
}

}  // namespace

HeadsStatus loadHeads(SealHeads& heads, const QString& folder, const QByteArray& key) {
    if (!QFileInfo::exists(heads.path())) {
        heads.load();
        return folderHoldsSeals(folder) ? HeadsStatus::Missing : HeadsStatus::Trusted;
    }
    if (!heads.load()) return HeadsStatus::Edited;
    return heads.generation() < generationSeen(folder, key) ? HeadsStatus::OlderCopy : HeadsStatus::Trusted;
}

QList<SealFinding> checkInstallation(const InstallationRecords& records) {
    QList<SealFinding> findings;
    findings += keyFindings(records);
    findings += headsFindings(records);
    findings += tableFindings(records);
    findings += deletedFileFindings(records);
    return findings;
}

bool isInstallationWide(const QString& title) { return title == kKeyTitle || title == kHeadsTitle; }

}  // namespace zv
