#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zv {

class SealHeads;
class SqliteFile;

// The latest generation of the heads list, noted in the event log's file with a keyed hash.
// The list is saved first and noted here after, so a list behind the log's note was put back
// from an older copy (a kill between the two leaves the list ahead, which is no finding).
namespace heads_generation {

// 0 when the log notes none (a log of an earlier version) or the note does not carry the key's hash.
qint64 noted(const SqliteFile& log, const QByteArray& key);
// Saves the heads as their next generation and notes it in the log (when one is open); false
// when the list cannot be written.
bool saveNoted(SealHeads& heads, SqliteFile& log, const QByteArray& key);

}  // namespace heads_generation
}  // namespace zv
