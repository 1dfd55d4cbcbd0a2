#pragma once

#include <QString>

namespace zv {

class ReportDocument;

// The report as plain text: the texts of each page ordered by line and, within a line, by
// their place across the page, one character per column of 1.75 mm from the leftmost text. Pages
// are separated by a form feed; ruled lines are left out.
QString toPlainText(const ReportDocument& doc);

}  // namespace zv
