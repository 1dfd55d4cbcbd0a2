#pragma once

#include <QByteArray>

namespace zv {

struct ReportTable;

// The table as a spreadsheet in a Russian locale opens it directly: UTF-8 with a byte-order
// mark, ";" between the cells, a heading line first, lines ended by CR LF. A cell holding
// ";", a quote or a line break is quoted, its quotes doubled.
QByteArray toCsv(const ReportTable& table);

}  // namespace zv
