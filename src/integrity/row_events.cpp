#include "integrity/row_events.h"

#include "integrity/event_action.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/pending_events.h"
#include "integrity/record_sealer.h"
#include "integrity/seal_check.h"
#include "records/clock.h"
#include "records/table.h"

#include <QDateTime>
#include <QStringList>

namespace zv {

namespace {

QString valueText(const QVariant& value) {
    if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    return value.toString();
}

// "Weight: 1000; Wei1: 500", only the stored fields that differ from `other` (all when null).
QString fieldsText(const Row& row, const Row* other) {
    QStringList parts;
    for (const FieldDef* field : row.def().storedFields()) {
        const QVariant value = row.value(field->name);
        if (other && other->value(field->name) == value) continue;
        if (!other && value.isNull()) continue;
        parts.append(QStringLiteral("%1: %2").arg(field->name, valueText(value)));
    }
    return parts.join(QStringLiteral("; "));
}

QString subjectOf(const Table& table, const Row& row) {
    const QString& key = table.def().primaryKey;
    return QStringLiteral("%1, запись %2, %3 = %4")
        .arg(tableTitle(table.fileName()))
        .arg(row.rowId())
        .arg(key, valueText(row.value(key)));
}

}  // namespace

void RowEvents::rowWritten(Table& table, const Row* before, const Row& after) { record(table, before, &after); }

void RowEvents::rowRemoved(Table& table, const Row& before) { record(table, &before, nullptr); }

void RowEvents::record(Table& table, const Row* before, const Row* after) {
    if (!isLoggedTable(table)) return;
    const EventAction* action = EventAction::current();
    const auto change = !after ? EventAction::Change::Remove : (before ? EventAction::Change::Update : EventAction::Change::Insert);
    PendingWriter& writer = writers_[table.def().name];
    PendingEvent event;
    if (action && action->table() == table.def().name && action->counts(change)) {
        std::tie(event.subject, event.newValue) = action->describe(after ? *after : *before);
        // The later rows of an action (the 99 more wagons of a train) only count themselves.
        if (writer.countInto(table.sqliteFile(), action->token(), event.subject, event.newValue)) return;
        event.kind = action->kind();
        event.action = action->token();
    } else {
        const Row& row = after ? *after : *before;
        event.kind = !after ? event_kind::RowDeleted : (before ? event_kind::RowEdited : event_kind::RowInserted);
        event.subject = subjectOf(table, row);
        if (before && after) {
            event.oldValue = fieldsText(*before, after);
            event.newValue = fieldsText(*after, before);
            if (event.newValue.isEmpty()) return;  // nothing stored changed
        } else if (after) {
            event.newValue = fieldsText(*after, nullptr);
        } else {
            event.oldValue = fieldsText(*before, nullptr);
        }
    }
    event.time = log_.clock().now();
    event.operatorName = log_.operatorName();
    writer.add(table.sqliteFile(), event);
    if (pendingAdded_) pendingAdded_();
}

}  // namespace zv
