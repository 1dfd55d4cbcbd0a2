#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;
class QPrinter;

namespace zv {

// One thing drawn on a page: a text in its rectangle, or a ruled line from rect.topLeft()
// to rect.bottomRight(). Millimetres from the page's top left corner.
struct DrawItem {
    enum class Kind { Text, Line };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    QString element;  // name of the layout element that made it
    // A text of the data (a field or an expression) rather than of the layout: the text
    // export cuts it where it would reach the next text, to keep the columns aligned.
    bool data = false;
};

struct ReportPage {
    std::vector<DrawItem> items;
};

// The rows of a report as a table, for a spreadsheet: the headings of its columns and the
// text of every cell. Empty for a report without columns.
struct ReportTable {
    QStringList headings;
    std::vector<QStringList> rows;
};

// What a report can be saved as.
enum class ExportFormat { Pdf, Text, Csv };
// ".pdf", ".txt", ".csv"
QString exportSuffix(ExportFormat format);

// The pages of a report after the layout pass. The same pages paint the preview, the
// printer and the PDF file, and give the plain-text export.
class ReportDocument {
  public:
    QString title;
    QString fileTag;  // the period, for the saved file's name
    QPageLayout pageLayout;
    std::vector<ReportPage> pages;
    ReportTable table;

    // The name a saved file is proposed: the title and the period, without a type suffix.
    QString fileBaseName() const;
    int pageCount() const { return static_cast<int>(pages.size()); }
    QSizeF pageSizeMm() const;

    // Paints page `index` with its top left corner at the painter's origin.
    void paintPage(QPainter& painter, int index, double pixelsPerMm) const;
    // Sends the pages to the printer, one sheet per page: the range set on the printer
    // (QPrinter::setFromTo, the print dialog's choice) or every page.
    void print(QPrinter& printer) const;
    // Throw ReportError when the file cannot be written.
    void savePdf(const QString& path) const;
    void saveText(const QString& path) const;
    void saveCsv(const QString& path) const;
    void save(const QString& path, ExportFormat format) const;
    bool hasTable() const { return !table.headings.isEmpty(); }
};

// Where a text item's glyphs stand on the page (millimetres), for the preview's highlight.
QRectF textBounds(const DrawItem& item, int from = 0, int length = -1);

}  // namespace zv
