#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace zv {

class ReportDataset;
class ReportDocument;
class ReportLayout;
class ReportLayouts;
class Table;

// How a rendered report reaches the operator: by default the modal preview `TPreview`;
// tests put their own in its place.
using ReportViewer = std::function<void(ReportDocument document, QWidget* parent)>;
void setReportViewer(ReportViewer viewer);  // an empty viewer brings the preview back

// Renders the layout over the data and shows it; returns when the viewer is closed.
// An error of the layout or the data goes to the error box instead.
void previewReport(const ReportLayout& layout, ReportDataset* data, QWidget* parent);

// QR3 over the rows of `Book` that pass its filter now. With a working folder, the names
// are looked up in the book's own folder's dictionaries where it has them, else in the
// working folder's: a book shown from an archive prints the names of its time.
void previewBookReport(const Table& book, const ReportLayouts& layouts, QWidget* parent,
                       const QString& workingFolder = {});
// QR1 over the rows of `Trains` that pass its filter now (the caller sets "Direc <> NULL").
void previewTrainsReport(const Table& trains, const ReportLayouts& layouts, QWidget* parent);
// QR2 of the current row of `Book`; false, and nothing shown, when the book has no row.
bool previewWaybill(const Table& book, const ReportLayouts& layouts, QWidget* parent);

}  // namespace zv
