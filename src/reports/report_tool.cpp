#include "reports/report_tool.h"

#include <QDir>
#include <QGuiApplication>

#include "records/records_database.h"
#include "records/schema.h"
#include "records/table_error.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/report_layouts.h"
#include "reports/report_period.h"
#include "reports/table_dataset.h"
#include "reports/trains_report_layout.h"

namespace zv {

namespace {

class SilentNotifier : public RecordsNotifier {
  public:
    void information(const QString&) override {}
};

void ensureGuiApplication() {
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zolvelt-tool";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

void openTable(Table& table, bool required) {
    if (!table.exists()) {
        if (!required) return;
        throw ReportError(
            QStringLiteral("No table %1 in %2").arg(table.fileName(), table.database()->folder()));
    }
    try {
        table.open();
    } catch (const TableError& e) {
        throw ReportError(QStringLiteral("Cannot open %1: %2").arg(table.fileName(), e.message()));
    }
}

void applyFilter(Table& table, const QString& filter) {
    try {
        table.setFilter(filter);
        table.setFiltered(true);
    } catch (const TableError& e) {
        throw ReportError(QStringLiteral("Bad filter \"%1\": %2").arg(filter, e.message()));
    }
}

void openBook(RecordsDatabase& db, const ReportRequest& request) {
    for (Table* t : {&db.Names(), &db.Loads(), &db.Stations(), &db.Clients()}) openTable(*t, false);
    if (!request.bookFile.isEmpty()) db.Book().setFileName(request.bookFile);
    openTable(db.Book(), true);
    applyFilter(db.Book(), request.filter);
}

void moveToRow(Table& book, std::optional<int> row) {
    if (!row) {
        book.first();
    } else if (!book.findKey(*row)) {
        throw ReportError(QStringLiteral("No row %1 in %2 that passes the filter")
                              .arg(*row)
                              .arg(book.fileName()));
    }
    if (!book.hasCurrentRow())
        throw ReportError(
            QStringLiteral("No row in %1 that passes the filter").arg(book.fileName()));
}

ReportDocument render(RecordsDatabase& db, const ReportRequest& request) {
    ReportLayouts layouts;
    layouts.applySettings(request.settings);
    switch (request.kind) {
        case ReportRequest::Kind::Book: {
            openBook(db, request);
            layouts.setBookPeriod(ReportPeriod{{}, {}, bookMonth(db.Book().fileName())});
            if (!request.filter.isEmpty())
                layouts.setBookDescription(QStringLiteral("Фильтр: ") + request.filter);
            TableDataset rows = TableDataset::filteredRows(db.Book());
            return renderReport(layouts.bookReport(), &rows);
        }
        case ReportRequest::Kind::Trains: {
            openTable(db.Trains(), true);
            applyFilter(db.Trains(), QStringLiteral("Direc <> NULL"));
            TableDataset rows = TableDataset::filteredRows(db.Trains());
            return renderReport(trainsReportOver(layouts.trainsReport(), rows), &rows);
        }
        case ReportRequest::Kind::Waybill:
            break;
    }
    openBook(db, request);
    moveToRow(db.Book(), request.row);
    TableDataset row = TableDataset::currentRow(db.Book());
    return renderReport(layouts.waybill(), &row);
}

}  // namespace

std::optional<ReportRequest::Kind> reportKind(const QString& word) {
    if (word == QLatin1String("book")) return ReportRequest::Kind::Book;
    if (word == QLatin1String("trains")) return ReportRequest::Kind::Trains;
    if (word == QLatin1String("waybill")) return ReportRequest::Kind::Waybill;
    return std::nullopt;
}

void runReport(const ReportRequest& request) {
    ensureGuiApplication();
    if (!QDir(request.folder).exists())
        throw ReportError(QStringLiteral("No folder %1").arg(request.folder));
    Settings settings = request.settings;
    const SystemClock clock;
    SilentNotifier notifier;
    RecordsDatabase db(settings, request.folder, clock, notifier);
    db.connection().setFolder(request.folder);
    db.connection().addPassword(schema::kDictionaryPassword);
    db.connection().addPassword(schema::kTablePassword);

    const ReportDocument doc = render(db, request);
    if (!request.pdfPath.isEmpty()) doc.savePdf(request.pdfPath);
    if (!request.txtPath.isEmpty()) doc.saveText(request.txtPath);
    if (!request.csvPath.isEmpty()) doc.saveCsv(request.csvPath);
}

}  // namespace zv
