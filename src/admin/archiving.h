#pragma once

#include <QString>
#include <QStringList>

namespace zv {

// Archiving a monthly weighing book: a folder named after the book in the archive folder,
// holding copies of the book and of the dictionaries its rows refer to. The book itself
// stays where it is.

enum class ArchiveOutcome { Archived, CurrentBook, AlreadyArchived, Failed };

struct ArchiveResult {
    ArchiveOutcome outcome = ArchiveOutcome::Failed;
    QString archiveName;    // the book's name without ".db"
    QStringList notCopied;  // when it failed: the files that are not in an archive
};

// The weighing books of a folder ("Book*.db") and the archives of an archive folder
// (folders "Book*"), sorted by name.
QStringList booksIn(const QString& folder);
QStringList archivesIn(const QString& folder);

// The files an archive of `archiveName` holds, in the order they are copied. The index
// companions (".px") exist only beside tables of other engines and are copied when present.
QStringList archiveFiles(const QString& archiveName);

// Copies `bookFile` of booksFolder and its dictionaries into a new folder of archivesFolder.
// Refuses the book in use (currentBook, letter case ignored) and an archive that exists.
// Nothing is ever overwritten, and an archive that could not be completed is removed again,
// so that the next attempt starts afresh.
ArchiveResult archiveBook(const QString& booksFolder, const QString& bookFile,
                          const QString& archivesFolder, const QString& currentBook);

}  // namespace zv
