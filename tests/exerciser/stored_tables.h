#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace zv::test {

// What a table file holds, read straight from the file: for each SQL table, its rows by
// rowid, each as "column=value" texts.
struct FileDump {
    QMap<QString, QMap<qint64, QStringList>> tables;
    QString error;  // the file could not be read
    bool operator==(const FileDump& other) const {
        return tables == other.tables && error == other.error;
    }
};

// Dumps of table files by file name.
using TablesDump = QMap<QString, FileDump>;

// Reads the files `names` of `folder` on a connection of its own; a missing file dumps empty.
TablesDump dumpTables(const QString& folder, const QStringList& names);

// The rows of `file` that differ between two dumps, one line each ("Wagons.db Wagons rowid 3:
// TareW=0 → TareW=49"), at most `limit` lines.
QStringList rowDifferences(const QString& file, const FileDump& before, const FileDump& after,
                           int limit = 8);

// "PRAGMA integrity_check" of every *.db file in `folder`: the files that fail, with what the
// check said.
QStringList integrityFailures(const QString& folder);

}  // namespace zv::test
