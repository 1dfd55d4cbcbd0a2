#pragma once

#include "reports/report_layout.h"

namespace zv {

// QR1, the report of trains weighed in motion over `Trains` (filtered to the rows with a
// direction): A4 portrait, one group per train with its count and weight. Its label QRL1
// (enterprise heading) is set at run time.
ReportLayout makeTrainsReport();

class ReportDataset;
// The report `trains` made over `rows`: its period (QRL2 and the file's name) is from the
// first to the last wagon's time.
ReportLayout trainsReportOver(const ReportLayout& trains, ReportDataset& rows);

}  // namespace zv
