#pragma once

#include "reports/report_document.h"
#include "reports/report_layout.h"

namespace zv {

class ReportDataset;

// The layout pass: runs the layout over the data set's rows (or, for a layout that does
// not iterate, over its current row) and returns the pages. The data set may be null for a
// layout that prints labels only. Throws ReportError when an element names a field the
// data set does not have.
ReportDocument renderReport(const ReportLayout& layout, ReportDataset* data);

}  // namespace zv
