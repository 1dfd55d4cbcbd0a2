#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace zv {

struct Settings;

// Where a wagon number was seen: a row of a month's weighing book (in the folder of the
// working tables or in an archive folder) or of `Trains`.
struct WagonSighting {
    enum class Kind { Book, Trains };
    Kind kind = Kind::Book;
    QString place;     // as the operator reads it: "Весовая книга 12.2026", "Архив Book[10.2026]", "Составы"
    QString folder;    // the folder of the table file
    QString fileName;  // the table file in it
    qint64 rowId = 0;
    QDateTime time;    // weighed in motion (Trains) or accepted (book)
    // The texts of the row as the tables show them; empty where the table has no such value.
    // A book row's train is that of the acceptance and that of the release ("3 / 4").
    QString train, accepted, released, weight, gross, tare, net, note;
};

// The folders a search looks into.
struct WagonSearchFolders {
    QString tables;    // the working tables: every month's book and Trains
    QString archives;  // one folder per archived book
};

// Every row of `number` (the whole number) in the books and in Trains, oldest first. An
// archived book still in the working folder is read there; its archive adds only the rows
// that differ. A table that does not open is skipped and named in `unread`.
QList<WagonSighting> findWagon(const QString& number, const WagonSearchFolders& folders,
                               const Settings& settings, QStringList* unread = nullptr);

}  // namespace zv
