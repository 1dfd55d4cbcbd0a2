#include "reports/report_document.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "privilege/operator_rights.h"
#include "reports/csv_export.h"
#include "reports/plain_text_export.h"
#include "reports/report_error.h"
#include "reports/report_layout.h"

namespace zv {

namespace {

constexpr double kUnitsPerMm = kFontUnitsPerMm;
constexpr double kLineWidthMm = 0.25;
constexpr int kPdfResolution = 600;

QRectF toUnits(const QRectF& mm) {
    return QRectF(mm.topLeft() * kUnitsPerMm, mm.size() * kUnitsPerMm);
}

// Left end of a text `width` wide (in painter units) placed in the item's rectangle.
double textLeft(const DrawItem& item, double width) {
    const QRectF r = toUnits(item.rect);
    if (item.alignment & Qt::AlignRight) return r.right() - width;
    if (item.alignment & Qt::AlignHCenter) return r.center().x() - width / 2;
    return r.left();
}

// Draws the items of a page. Texts are drawn at their baseline rather than laid out in their
// rectangle: a thousand pages of a month's book are written several times faster so.
class ItemPainter {
  public:
    explicit ItemPainter(QPainter& painter) : painter_(painter), metrics_(painter.font()) {}

    void paint(const DrawItem& item) {
        if (item.kind == DrawItem::Kind::Line) {
            painter_.drawLine(toUnits(item.rect).topLeft(), toUnits(item.rect).bottomRight());
            return;
        }
        if (painter_.font() != item.font) {
            painter_.setFont(item.font);
            metrics_ = QFontMetricsF(item.font);
        }
        const double width =
            item.alignment & Qt::AlignLeft ? 0 : metrics_.horizontalAdvance(item.text);
        painter_.drawText(
            QPointF(textLeft(item, width), toUnits(item.rect).top() + metrics_.ascent()),
            item.text);
    }

  private:
    QPainter& painter_;
    QFontMetricsF metrics_;
};

// Paints pages first..last (from 0); false when the device could not be opened or written.
template <typename Device>
bool paintPages(const ReportDocument& doc, Device& device, double pixelsPerMm, int first,
                int last) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (int i = first; i <= last; ++i) {
        if (i > first && !device.newPage()) return false;
        doc.paintPage(painter, i, pixelsPerMm);
    }
    return painter.end();
}

ReportError writeFailure(const QString& path, int error = 0) {
    const QString what = QStringLiteral("Не удалось записать файл %1").arg(path);
    if (error == EACCES || error == EPERM) return ReportError(what + QStringLiteral(": нет прав на запись"));
    return ReportError(what);
}

// The file the operator chose is opened with the operator's own rights, whatever group the
// program runs with: a report saved over a table fails as it would from the operator's shell.
void openChosenFile(QFile& file, const QString& path) {
    const int fd = openAsOperator(QFile::encodeName(path).toStdString(), O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) throw writeFailure(path, errno);
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw writeFailure(path);
    }
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file;
    openChosenFile(file, path);
    if (file.write(bytes) != bytes.size() || !file.flush()) throw writeFailure(path);
}

}  // namespace

QString ReportDocument::fileBaseName() const {
    return fileTag.isEmpty() ? title : title + QLatin1Char(' ') + fileTag;
}

QSizeF ReportDocument::pageSizeMm() const {
    return pageLayout.fullRect(QPageLayout::Millimeter).size();
}

void ReportDocument::paintPage(QPainter& painter, int index, double pixelsPerMm) const {
    if (index < 0 || index >= pageCount()) return;
    painter.save();
    painter.scale(pixelsPerMm / kUnitsPerMm, pixelsPerMm / kUnitsPerMm);
    painter.setPen(QPen(Qt::black, kLineWidthMm * kUnitsPerMm));
    ItemPainter items(painter);
    for (const DrawItem& item : pages[index].items) items.paint(item);
    painter.restore();
}

void ReportDocument::print(QPrinter& printer) const {
    printer.setFullPage(true);
    printer.setDocName(title);
    if (pages.empty()) return;
    // A range chosen in the print dialog counts pages from 1; none means every page.
    const int first = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int last =
        printer.toPage() > 0 ? std::min(printer.toPage(), pageCount()) - 1 : pageCount() - 1;
    if (first > last) return;
    if (!paintPages(*this, printer, printer.resolution() / 25.4, first, last))
        throw ReportError(QStringLiteral("Не удалось напечатать отчет"));
}

void ReportDocument::savePdf(const QString& path) const {
    QFile file;
    openChosenFile(file, path);
    QPdfWriter writer(&file);
    writer.setPageLayout(pageLayout);
    writer.setResolution(kPdfResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("ZOLVelt"));
    // A report without pages still gives a valid file: one blank page.
    if (!paintPages(*this, writer, kPdfResolution / 25.4, 0, pageCount() - 1) || !file.flush())
        throw writeFailure(path);
}

void ReportDocument::saveText(const QString& path) const {
    writeFile(path, toPlainText(*this).toUtf8());
}

void ReportDocument::saveCsv(const QString& path) const {
    writeFile(path, toCsv(table));
}

void ReportDocument::save(const QString& path, ExportFormat format) const {
    switch (format) {
        case ExportFormat::Pdf:
            return savePdf(path);
        case ExportFormat::Text:
            return saveText(path);
        case ExportFormat::Csv:
            return saveCsv(path);
    }
}

QString exportSuffix(ExportFormat format) {
    switch (format) {
        case ExportFormat::Pdf:
            break;
        case ExportFormat::Text:
            return QStringLiteral(".txt");
        case ExportFormat::Csv:
            return QStringLiteral(".csv");
    }
    return QStringLiteral(".pdf");
}

QRectF textBounds(const DrawItem& item, int from, int length) {
    const QFontMetricsF fm(item.font);
    const double left = textLeft(item, fm.horizontalAdvance(item.text));
    const double before = fm.horizontalAdvance(item.text.left(from));
    const double width = fm.horizontalAdvance(item.text.mid(from, length));
    return QRectF((left + before) / kUnitsPerMm, item.rect.top(), width / kUnitsPerMm,
                  fm.height() / kUnitsPerMm);
}

}  // namespace zv
