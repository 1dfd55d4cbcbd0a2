#include "integrity/events.h"

#include "integrity/event_kinds.h"
#include "integrity/records_integrity.h"

namespace zv {

namespace {

RecordsIntegrity* current = nullptr;

}  // namespace

void Events::install(RecordsIntegrity* integrity) { current = integrity; }

RecordsIntegrity* Events::installed() { return current; }

void Events::record(const QString& kind, const QString& subject, const QString& oldValue, const QString& newValue) {
    if (current) current->record(kind, subject, oldValue, newValue);
}

void Events::recordRecordsMessage(const QString& text) {
    if (!text.contains(QStringLiteral("Будет создана"))) return;
    record(event_kind::TableCreated, text.section(QStringLiteral("\r\n"), 0, 0), {}, text.section(QStringLiteral("\r\n"), -1));
}

}  // namespace zv
