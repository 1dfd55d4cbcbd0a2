#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zv {

class EventLog;
class SealHeads;

// A table sealed on an engineer's command: its title and the rows it held.
struct SealedTable {
    QString title, path;
    int rows = 0;
};

// The engineer's seal: the tables of the folder that carry no seals (an earlier version's, or
// ones whose seals were removed) are sealed as they are now, each logged with who sealed it and
// how many rows, and their heads are forgotten; the caller notes the new chains' ends (after
// whatever else it logs) and saves the heads.
QList<SealedTable> sealOnCommand(const QString& folder, const QByteArray& key, EventLog& log, SealHeads& heads,
                                 const QString& by);

// "Таблица Trains: опечатано записей: 12"
QString sealedText(const SealedTable& table);

}  // namespace zv
