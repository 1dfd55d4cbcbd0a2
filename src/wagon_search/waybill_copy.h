#pragma once

#include <QDateTime>
#include <QString>

#include "reports/report_layout.h"

class QWidget;

namespace zv {

class ReportLayouts;
struct Settings;
struct WagonSighting;

// The waybill printed again: the program's waybill with "КОПИЯ" and the time of the reprint
// at the top of the page, so that it is never taken for the original.
ReportLayout waybillCopy(const ReportLayout& waybill, const QDateTime& printed);

// Previews the copy of the waybill of a book row found by the search, with the names of the
// dictionaries of the book's own folder (an archive keeps those of its time), else of the
// working folder's. The book is opened with the program's own table password: the operator
// is never asked for it. False (and an error shown) when the row cannot be read.
bool previewWaybillCopy(const WagonSighting& row, const ReportLayouts& layouts,
                        const Settings& settings, const QString& workingFolder, QWidget* parent);

}  // namespace zv
