#include "reports/report_commands.h"

#include "records/database.h"
#include "records/table.h"
#include "records/table_error.h"
#include "reports/book_dictionaries.h"
#include "reports/preview_window.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/report_layouts.h"
#include "reports/table_dataset.h"
#include "reports/trains_report_layout.h"
#include "ui/message_service.h"

namespace zv {

namespace {

ReportViewer& viewer() {
    static ReportViewer current;
    return current;
}

void showInPreview(ReportDocument document, QWidget* parent) {
    TPreview preview(parent);
    preview.preview(std::move(document));
}

// The report over the rows that pass the table's filter; a fault of the table is shown.
// With a working folder, the names are looked up as BookDictionaries does.
// `made` gives the layout for the rows (the layout as it is by default).
void previewFilteredRows(
    const Table& table, const ReportLayout& layout, QWidget* parent,
    const QString& workingFolder = {},
    const std::function<ReportLayout(const ReportLayout&, ReportDataset&)>& made = {}) {
    try {
        TableDataset rows = TableDataset::filteredRows(table);
        if (!workingFolder.isEmpty())
            rows.fillNames(BookDictionaries(table.database()->folder(), workingFolder));
        if (made) {
            previewReport(made(layout, rows), &rows, parent);
        } else {
            previewReport(layout, &rows, parent);
        }
    } catch (const TableError& e) {
        Messages::error(e.message());
    }
}

}  // namespace

void setReportViewer(ReportViewer v) {
    viewer() = std::move(v);
}

void previewReport(const ReportLayout& layout, ReportDataset* data, QWidget* parent) {
    ReportDocument document;
    try {
        document = renderReport(layout, data);
    } catch (const ReportError& e) {
        Messages::error(e.message());
        return;
    }
    if (viewer()) {
        viewer()(std::move(document), parent);
    } else {
        showInPreview(std::move(document), parent);
    }
}

void previewBookReport(const Table& book, const ReportLayouts& layouts, QWidget* parent,
                       const QString& workingFolder) {
    previewFilteredRows(book, layouts.bookReport(), parent, workingFolder);
}

void previewTrainsReport(const Table& trains, const ReportLayouts& layouts, QWidget* parent) {
    previewFilteredRows(trains, layouts.trainsReport(), parent, {}, trainsReportOver);
}

bool previewWaybill(const Table& book, const ReportLayouts& layouts, QWidget* parent) {
    TableDataset row = TableDataset::currentRow(book);
    if (row.rowCount() == 0) return false;
    previewReport(layouts.waybill(), &row, parent);
    return true;
}

}  // namespace zv
