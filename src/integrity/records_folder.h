#pragma once

#include "integrity/seal_heads.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zv {

// A file of the folder whose rows are sealed, and the table inside it.
struct SealedFile {
    QString path, table;
};

// The table whose rows a file of the tables folder holds sealed ("Trains", "Book", "Events"…);
// empty for the files that carry no seals.
QString sealedTableOf(const QString& fileName);
// Trains, Wagons, Names, every book and the event log of a folder.
QList<SealedFile> sealedFilesIn(const QString& folder);
// The path the heads name a file by.
QString headsPathOf(const QString& path);
// Whether anything in the folder carries seals: the event log, or a table with a seal table.
bool folderHoldsSeals(const QString& folder);
// The files of the folder that held sealed rows when last seen and are gone now.
QStringList deletedFilesIn(const QString& folder, const SealHeads& heads);

// Notes the end of every sealed file's chain in the heads. A head only moves forward along its
// own chain: a file put back from an older copy keeps the head it fell behind, unless
// acceptAll (an engineer took the tables as they are); then the deleted files are forgotten too.
void noteChainHeads(const QString& folder, SealHeads& heads, bool acceptAll);

// The files of the folder that should carry seals and carry none.
QList<SealedFile> unsealedFilesIn(const QString& folder);
// Seals every row of the file as it is now, in one transaction; gives the number of rows.
int sealFile(const SealedFile& file, const QByteArray& key);

}  // namespace zv
