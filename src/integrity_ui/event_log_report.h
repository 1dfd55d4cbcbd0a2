#pragma once

#include "integrity/event_log.h"
#include "reports/memory_dataset.h"
#include "reports/report_layout.h"

#include <QList>

namespace zv {

// The "Журнал событий" layout: one line per event, landscape.
ReportLayout makeEventLogReport();
// The events as the layout's data set (table "Events").
MemoryDataset eventLogDataset(const QList<Event>& events);

}  // namespace zv
