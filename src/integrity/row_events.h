#pragma once

#include "integrity/pending_events.h"
#include "records/row_write_listener.h"

#include <QString>

#include <functional>
#include <map>

namespace zv {

class EventLog;

// Logs every write to a sealed table as an event kept in the table's own file until the log
// takes it: as part of the current EventAction when it is one the action counts, otherwise
// row by row with the fields that changed, old and new ("Weight: 1000 → 1200").
class RowEvents : public RowWriteListener {
public:
    // pendingAdded: told after an event was kept in a table file, to have it taken later.
    RowEvents(const EventLog& log, std::function<void()> pendingAdded) : log_(log), pendingAdded_(std::move(pendingAdded)) {}
    void rowWritten(Table& table, const Row* before, const Row& after) override;
    void rowRemoved(Table& table, const Row& before) override;

private:
    void record(Table& table, const Row* before, const Row* after);
    const EventLog& log_;
    std::function<void()> pendingAdded_;
    std::map<QString, PendingWriter> writers_;  // by table name
};

}  // namespace zv
