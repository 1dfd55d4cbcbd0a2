#pragma once

#include "reports/report_layout.h"

namespace zv {

// QR3, the weighing-book report over the filtered `Book`: A4 landscape, three lines per row.
// Its labels QRLb1 (enterprise heading) and QRLb2 (description of the filter) are set at
// run time.
ReportLayout makeBookReport();

}  // namespace zv
