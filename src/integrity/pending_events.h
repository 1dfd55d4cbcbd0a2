#pragma once

#include <QDateTime>
#include <QString>

namespace zv {

class SqliteFile;

// An event about rows of a table file, kept in that file ("zv_pending") until the log takes
// it: written in the transaction of the rows, it commits with them or not at all.
struct PendingEvent {
    QDateTime time;
    QString operatorName, kind, subject, oldValue, newValue;
    // Events of one action share a token: later rows of the action update its one event and
    // count themselves; "%n" in the new value becomes that count when the log takes it.
    QString action;
};

namespace pending {

inline constexpr const char* kPendingTable = "zv_pending";

void ensureTable(SqliteFile& file);
void add(SqliteFile& file, const PendingEvent& event);

}  // namespace pending
}  // namespace zv
