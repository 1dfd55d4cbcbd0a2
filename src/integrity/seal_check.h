#pragma once

#include "integrity/seal_heads.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace zv {

class SqliteFile;

// What the seals of one table file say about its rows.
struct SealFinding {
    QString title;  // "Книга Book[12.2026]", "Таблица Trains"
    bool unsealed = false;  // no seals at all (a table from an earlier version, or seals removed)
    bool sealsRemoved = false;  // the file was sealed once (a head is known) and has no seals now
    bool edited = false;  // a file that carries its own keyed hash no longer matches it
    bool olderCopy = false;  // the chain ends before the head seen last, or differs there
    bool fileDeleted = false;  // a file sealed before is gone from the folder
    QList<qint64> changed, inserted, swapped, brokenSeals;
    int deleted = 0;
    SealHead head;  // the end of the chain as found

    bool clean() const {
        return !unsealed && !fileDeleted && !sealsRemoved && !edited && !olderCopy && changed.isEmpty() && inserted.isEmpty() &&
               swapped.isEmpty() && brokenSeals.isEmpty() && deleted == 0;
    }
    // "Книга Book[12.2026]: изменены записи 17, 18; удалена 1 запись"
    QString text() const;
};

// Checks the rows of `table` in an open file against its seals and against the head of the
// chain seen last (none: the file is not known yet).
SealFinding checkSeals(const SqliteFile& file, const QString& table, const QString& title, const QByteArray& key,
                       const std::optional<SealHead>& lastSeen);

// "Книга Book[12.2026]" for a book file, "Журнал событий" for the log, "Таблица Trains" otherwise.
QString tableTitle(const QString& fileName);

}  // namespace zv
