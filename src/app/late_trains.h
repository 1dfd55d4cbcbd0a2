#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace zv {
class EventLog;
class Row;
class Table;
}  // namespace zv

// The trains weighed after the fact, from samples held while dynamic weighing was off: each
// is one event of the log naming the times of its first and last row (`Time` is the key of
// `Trains`), so the mark survives restarts, renumbering and the deletion of other trains
// without a field of its own. The train list's note of such a row says so.
class LateTrains {
  public:
    // The marks of the log of the open tables' folder.
    void load(const zv::EventLog& log);
    // Logs the stored train `number` (its rows read from `trains`, filtered to it) as weighed
    // late and marks its rows.
    void add(int number, const zv::Table& trains);

    bool covers(const QDateTime& time) const;
    // `Note1` of a `Trains` row: the text of its note code, and the mark.
    QString note(const zv::Row& row) const;

  private:
    QList<QPair<QDateTime, QDateTime>> ranges_;
};
