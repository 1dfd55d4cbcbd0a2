#pragma once

#include "reports/report_layout.h"

namespace zv {

// QR1, the report of trains weighed in motion over `Trains` (filtered to the rows with a
// direction): A4 portrait, one group per train with its count and weight. Its label QRL1
// (enterprise heading) is set at run time.
ReportLayout makeTrainsReport();

}  // namespace zv
