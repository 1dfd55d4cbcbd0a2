#include "reports/report_document.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

#include "reports/plain_text_export.h"
#include "reports/report_error.h"

namespace zv {

namespace {

// Painting is done in hundredths of a millimetre, the unit of the items' fonts.
constexpr double kUnitsPerMm = 100.0;
constexpr double kLineWidthMm = 0.25;
constexpr int kPdfResolution = 600;

QRectF toUnits(const QRectF& mm) {
    return QRectF(mm.topLeft() * kUnitsPerMm, mm.size() * kUnitsPerMm);
}

void paintItem(QPainter& painter, const DrawItem& item) {
    if (item.kind == DrawItem::Kind::Line) {
        painter.drawLine(toUnits(item.rect).topLeft(), toUnits(item.rect).bottomRight());
        return;
    }
    if (painter.font() != item.font) painter.setFont(item.font);
    painter.drawText(
        toUnits(item.rect),
        static_cast<int>(item.alignment | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine),
        item.text);
}

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

}  // namespace

QSizeF ReportDocument::pageSizeMm() const {
    return pageLayout.fullRect(QPageLayout::Millimeter).size();
}

void ReportDocument::paintPage(QPainter& painter, int index, double pixelsPerMm) const {
    if (index < 0 || index >= pageCount()) return;
    painter.save();
    painter.scale(pixelsPerMm / kUnitsPerMm, pixelsPerMm / kUnitsPerMm);
    painter.setPen(QPen(Qt::black, kLineWidthMm * kUnitsPerMm));
    for (const DrawItem& item : pages[index].items) paintItem(painter, item);
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
    QPdfWriter writer(path);
    writer.setPageLayout(pageLayout);
    writer.setResolution(kPdfResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("ZOLVelt"));
    // A report without pages still gives a valid file: one blank page.
    if (!paintPages(*this, writer, kPdfResolution / 25.4, 0, pageCount() - 1))
        throw ReportError(QStringLiteral("Не удалось записать файл %1").arg(path));
}

void ReportDocument::saveText(const QString& path) const {
    QFile file(path);
    const QByteArray bytes = toPlainText(*this).toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw ReportError(QStringLiteral("Не удалось записать файл %1").arg(path));
}

QRectF textBounds(const DrawItem& item, int from, int length) {
    const QFontMetricsF fm(item.font);
    const double full = fm.horizontalAdvance(item.text) / kUnitsPerMm;
    const double before = fm.horizontalAdvance(item.text.left(from)) / kUnitsPerMm;
    const double width = fm.horizontalAdvance(item.text.mid(from, length)) / kUnitsPerMm;
    double left = item.rect.left();
    if (item.alignment & Qt::AlignRight) left = item.rect.right() - full;
    if (item.alignment & Qt::AlignHCenter) left = item.rect.center().x() - full / 2;
    return QRectF(left + before, item.rect.top(), width, fm.height() / kUnitsPerMm);
}

}  // namespace zv
