#include "reports/page_view.h"

#include <QPainter>

#include "reports/report_document.h"

namespace zv {

PageView::PageView(QWidget* parent) : QWidget(parent) {}

void PageView::setDocument(const ReportDocument* document) {
    document_ = document;
    highlight_ = {};
    update();
}

void PageView::showPage(int index, double pixelsPerMm) {
    page_ = index;
    pixelsPerMm_ = pixelsPerMm;
    const QSizeF mm = document_ ? document_->pageSizeMm() : QSizeF();
    setFixedSize(qCeil(mm.width() * pixelsPerMm) + 2 * kBorder,
                 qCeil(mm.height() * pixelsPerMm) + 2 * kBorder);
    update();
}

void PageView::setHighlight(const QRectF& mm) {
    highlight_ = mm;
    update();
}

QPoint PageView::toWidget(QPointF mm) const {
    return QPoint(kBorder + qRound(mm.x() * pixelsPerMm_), kBorder + qRound(mm.y() * pixelsPerMm_));
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    if (!document_ || page_ >= document_->pageCount()) return;
    const QSizeF mm = document_->pageSizeMm();
    painter.fillRect(
        QRectF(kBorder, kBorder, mm.width() * pixelsPerMm_, mm.height() * pixelsPerMm_), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(kBorder, kBorder);
    if (!highlight_.isNull()) {
        const QRectF r(highlight_.topLeft() * pixelsPerMm_, highlight_.size() * pixelsPerMm_);
        painter.fillRect(r, QColor(255, 230, 0));
    }
    document_->paintPage(painter, page_, pixelsPerMm_);
}

}  // namespace zv
