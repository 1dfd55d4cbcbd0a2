#pragma once

#include <QRectF>
#include <QWidget>

namespace zv {

class ReportDocument;

// Paints one page of a report at a given scale, with an optional highlighted rectangle
// (millimetres on the page) for the preview's search.
class PageView : public QWidget {
    Q_OBJECT
  public:
    explicit PageView(QWidget* parent = nullptr);

    void setDocument(const ReportDocument* document);
    void showPage(int index, double pixelsPerMm);
    void setHighlight(const QRectF& mm);

    int page() const { return page_; }
    // Where a point of the page (millimetres) appears in the widget.
    QPoint toWidget(QPointF mm) const;

    static constexpr int kBorder = 8;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const ReportDocument* document_ = nullptr;
    int page_ = 0;
    double pixelsPerMm_ = 1;
    QRectF highlight_;
};

}  // namespace zv
