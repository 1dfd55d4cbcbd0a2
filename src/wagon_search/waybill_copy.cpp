#include "wagon_search/waybill_copy.h"

#include "records/database.h"
#include "records/derived_fields.h"
#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"
#include "reports/book_dictionaries.h"
#include "reports/report_commands.h"
#include "reports/report_layouts.h"
#include "reports/table_dataset.h"
#include "ui/message_service.h"
#include "wagon_search/wagon_sightings.h"

namespace zv {

ReportLayout waybillCopy(const ReportLayout& waybill, const QDateTime& printed) {
    ReportLayout copy = waybill;
    for (ReportBand& band : copy.bands()) {
        if (band.kind() != BandKind::Title) continue;
        const double width = copy.printableWidth();
        ReportElement& mark = band.addLabel(
            QStringLiteral("QRCopy"), QRectF(width - 100, 0, 100, 8),
            QStringLiteral("КОПИЯ от %1").arg(printed.toString(QStringLiteral("dd.MM.yyyy hh:mm"))),
            Qt::AlignRight);
        mark.font.pointSize = 14;
        mark.font.bold = true;
        break;
    }
    return copy;
}

bool previewWaybillCopy(const WagonSighting& row, const ReportLayouts& layouts,
                        const Settings& settings, const QString& workingFolder, QWidget* parent) {
    Database db;
    db.setFolder(row.folder);
    db.addPassword(schema::kTablePassword);
    Table book(db, schema::book());
    book.setFileName(row.fileName);
    installBookFields(book, settings);
    try {
        book.open();
        if (!book.locateRowId(row.rowId)) {
            Messages::error(QStringLiteral("Запись о вагоне не найдена в %1").arg(book.filePath()));
            return false;
        }
        TableDataset data = TableDataset::currentRow(book);
        data.fillNames(BookDictionaries(row.folder, workingFolder));
        const ReportLayout copy = waybillCopy(layouts.waybill(), QDateTime::currentDateTime());
        previewReport(copy, &data, parent);
        return true;
    } catch (const TableError& e) {
        Messages::error(e.message());
        return false;
    }
}

}  // namespace zv
