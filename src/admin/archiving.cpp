#include "admin/archiving.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zv {
namespace {

QStringList entries(const QString& folder, const QString& pattern, QDir::Filters kind) {
    // Without QDir::CaseSensitive the pattern matches whatever the letter case.
    return QDir(folder).entryList({pattern}, kind | QDir::NoDotAndDotDot, QDir::Name);
}

// The file of that name in the folder, found whatever its letter case; empty when none.
// Compared as text: a book's name holds brackets, which a name filter would take as a set.
QString findFile(const QString& folder, const QString& name) {
    for (const QString& file : QDir(folder).entryList(QDir::Files))
        if (file.compare(name, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(file);
    return {};
}

bool isIndexCompanion(const QString& name) { return name.endsWith(".px", Qt::CaseInsensitive); }

QString withoutExtension(const QString& file) {
    return file.endsWith(".db", Qt::CaseInsensitive) ? file.chopped(3) : file;
}

// Copies what there is into the new archive; returns the names that are not in it.
QStringList copyInto(const QString& booksFolder, const QString& archive, const QString& name) {
    QStringList notCopied;
    for (const QString& file : archiveFiles(name)) {
        const QString source = findFile(booksFolder, file);
        if (source.isEmpty()) {
            if (!isIndexCompanion(file)) notCopied << file;
            continue;
        }
        if (!QFile::copy(source, QDir(archive).filePath(file))) notCopied << file;
    }
    return notCopied;
}

}  // namespace

QStringList booksIn(const QString& folder) { return entries(folder, "Book*.db", QDir::Files); }

QStringList archivesIn(const QString& folder) { return entries(folder, "Book*", QDir::Dirs); }

QStringList archiveFiles(const QString& archiveName) {
    return {"Loads.db",    "Loads.px",   "Stations.db",       "Stations.px",
            "Clients.db",  "Clients.px", "Names.db",          "Names.px",
            archiveName + ".db", archiveName + ".px"};
}

ArchiveResult archiveBook(const QString& booksFolder, const QString& bookFile,
                          const QString& archivesFolder, const QString& currentBook) {
    ArchiveResult result;
    result.archiveName = withoutExtension(QFileInfo(bookFile).fileName());
    if (QFileInfo(bookFile).fileName().compare(currentBook, Qt::CaseInsensitive) == 0) {
        result.outcome = ArchiveOutcome::CurrentBook;
        return result;
    }
    const QString archive = QDir(archivesFolder).filePath(result.archiveName);
    if (QFileInfo::exists(archive)) {
        result.outcome = ArchiveOutcome::AlreadyArchived;
        return result;
    }
    if (!QDir().mkdir(archive)) {
        result.notCopied = archiveFiles(result.archiveName);
        result.notCopied.removeIf(isIndexCompanion);
        return result;
    }
    result.notCopied = copyInto(booksFolder, archive, result.archiveName);
    if (result.notCopied.isEmpty()) {
        result.outcome = ArchiveOutcome::Archived;
    } else {
        QDir(archive).removeRecursively();
    }
    return result;
}

}  // namespace zv
