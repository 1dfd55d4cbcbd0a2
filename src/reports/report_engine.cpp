#include "reports/report_engine.h"

#include <QFontMetricsF>
#include <unordered_map>

#include "reports/display_masks.h"
#include "reports/report_dataset.h"
#include "reports/report_error.h"

namespace zv {

namespace {

// The font of an element and its measures, made once per element.
struct ElementFont {
    explicit ElementFont(const QFont& f) : font(f), metrics(f) {}
    QFont font;
    QFontMetricsF metrics;
};

// A text never runs out of its element into the next column: what does not fit is cut,
// with an ellipsis to show it was. Widths are in the font's units, hundredths of a mm.
QString fitted(const QString& text, const QFontMetricsF& metrics, double width) {
    if (text.size() * metrics.maxWidth() <= width) return text;  // fits, measured or not
    if (metrics.horizontalAdvance(text) <= width) return text;
    return metrics.elidedText(text, Qt::ElideRight, width);
}

// A spreadsheet cell: dates in full, everything else as the report prints it.
QString cellText(const ReportDataset& data, const QString& field) {
    const QVariant v = data.value(field);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    return data.displayText(field);
}

class LayoutPass {
  public:
    LayoutPass(const ReportLayout& layout, ReportDataset* data) : layout_(layout), data_(data) {
        doc_.title = layout_.title;
        doc_.fileTag = layout_.fileTag;
        doc_.pageLayout = layout_.pageLayout();
        const QSizeF page = layout_.pageSizeMm();
        const ReportBand* footer = layout_.band(BandKind::PageFooter);
        // The body ends where the page footer begins, on every page alike.
        footerTop_ = page.height() - layout_.margins.bottom() - (footer ? footer->height() : 0);
        prepareElements();
    }

    ReportDocument run() {
        checkFields();
        for (const ReportColumn& c : layout_.columns) doc_.table.headings << c.heading;
        if (!layout_.iteratesRows) {
            printSingle();
        } else {
            printRows();
        }
        return std::move(doc_);
    }

  private:
    void checkFields() const {
        for (const ReportBand& band : layout_.bands())
            for (const ReportElement& e : band.elements()) checkElement(e);
        if (layout_.groupExpression) checkExpression(*layout_.groupExpression);
        for (const ReportColumn& c : layout_.columns) {
            checkField(c.field, c.heading);
            if (c.total) checkExpression(*c.total);
        }
    }

    void checkElement(const ReportElement& e) const {
        if (e.kind == ElementKind::Expression) checkExpression(*e.expression);
        if (e.kind == ElementKind::DataField) checkField(e.field, e.name);
    }

    void checkField(const QString& field, const QString& element) const {
        if (!data_ || !data_->hasField(field))
            throw ReportError(QStringLiteral("The element %1 of the layout %2 names the field %3, "
                                             "which the data set does not have")
                                  .arg(element, layout_.name, field));
    }

    void checkExpression(const Expression& e) const {
        if (data_) {
            e.checkFields(*data_);
        } else if (!e.fieldReferences().isEmpty()) {
            throw ReportError(QStringLiteral("Expression \"%1\" needs a data set").arg(e.source()));
        }
    }

    void printSingle() {
        startPage();
        place(BandKind::Title);
        finishPage(true);
    }

    void printRows() {
        const bool any = data_ && data_->first();
        if (!any && !layout_.printIfEmpty) return;
        startPage();
        place(BandKind::Title);
        if (any) {
            printDetails();
            place(BandKind::Summary);
            addTotalsRow();
        }
        finishPage(true);
    }

    // Group keys are read in a first pass, so that a group footer is printed while the last
    // row of its group is still current and its data fields show that row.
    std::vector<QString> groupKeys() {
        std::vector<QString> keys;
        if (!layout_.groupExpression) return keys;
        for (bool more = data_->first(); more; more = data_->next())
            keys.push_back(layout_.groupExpression->evaluate(context()).toText());
        data_->first();
        return keys;
    }

    void printDetails() {
        const std::vector<QString> keys = groupKeys();
        const bool grouped = !keys.empty();
        size_t row = 0;
        for (bool more = true; more; more = data_->next(), ++row) {
            if (grouped && (row == 0 || keys[row] != keys[row - 1])) {
                ++groups_;
                resetSums();
                place(BandKind::GroupHeader, heightOf(BandKind::Detail));
            }
            place(BandKind::Detail);
            addTableRow();
            accumulate();
            if (grouped && (row + 1 == keys.size() || keys[row] != keys[row + 1]))
                place(BandKind::GroupFooter);
        }
    }

    void addTableRow() {
        if (layout_.columns.empty()) return;
        QStringList cells;
        cells.reserve(static_cast<qsizetype>(layout_.columns.size()));
        for (const ReportColumn& c : layout_.columns) cells << cellText(*data_, c.field);
        doc_.table.rows.push_back(std::move(cells));
    }

    // The spreadsheet's totals come after an empty row, so that a sum the reader makes over
    // a column's rows stops before them instead of counting them twice.
    void addTotalsRow() {
        if (!layout_.hasColumnTotals()) return;
        QStringList cells;
        for (const ReportColumn& c : layout_.columns)
            cells << (c.total ? c.total->evaluate(context()).toText() : QString());
        doc_.table.rows.emplace_back();
        doc_.table.rows.push_back(std::move(cells));
    }

    void startPage() {
        doc_.pages.emplace_back();
        y_ = layout_.margins.top();
        if (pageNumber() > 1 || layout_.pageHeaderOnFirstPage) emitBand(BandKind::PageHeader);
        if (pageNumber() > 1) emitBand(BandKind::ColumnHeader);
        freshPageTop_ = y_;
    }

    void finishPage(bool last) {
        if (!last || layout_.pageFooterOnLastPage) {
            y_ = footerTop_;
            emitBand(BandKind::PageFooter);
        }
        emitStamp();
    }

    void emitStamp() {
        constexpr double kStampLine = 3.5;
        ReportFont stampFont;
        stampFont.pointSize = 7;
        const QFont font = stampFont.toQFont();
        double top = layout_.pageSizeMm().height() - layout_.margins.bottom() + 1;
        for (int i = 0; i < layout_.pageStamp.size(); ++i, top += kStampLine) {
            DrawItem item;
            item.rect = QRectF(layout_.margins.left(), top, layout_.printableWidth(), kStampLine);
            item.text = layout_.pageStamp[i];
            item.font = font;
            item.element = QStringLiteral("PageStamp%1").arg(i + 1);
            doc_.pages.back().items.push_back(std::move(item));
        }
    }

    double heightOf(BandKind kind) const {
        const ReportBand* band = layout_.band(kind);
        return band ? band->height() : 0;
    }

    // Puts a band at the current place, on a new page when it does not fit together with
    // `keepWith` millimetres of what follows it (a group header keeps its first row). A band
    // higher than a whole page is printed anyway, so that the pass always ends.
    void place(BandKind kind, double keepWith = 0) {
        const ReportBand* band = layout_.band(kind);
        if (!band) return;
        const bool pageIsFresh = y_ <= freshPageTop_;
        if (y_ + band->height() + keepWith > footerTop_ && !pageIsFresh) {
            finishPage(false);
            startPage();
        }
        emitBand(kind);
        if (kind == BandKind::Title) emitBand(BandKind::ColumnHeader);
    }

    void emitBand(BandKind kind) {
        const ReportBand* band = layout_.band(kind);
        if (!band) return;
        for (const ReportElement& e : band->elements()) emitElement(e, y_);
        y_ += band->height();
    }

    void emitElement(const ReportElement& e, double top) {
        DrawItem item;
        item.rect = e.rect.translated(layout_.margins.left(), top);
        item.element = e.name;
        if (e.kind == ElementKind::Line) {
            item.kind = DrawItem::Kind::Line;
        } else {
            const ElementFont& font = fontFor(e);
            item.text = fitted(elementText(e), font.metrics, e.rect.width() * kFontUnitsPerMm);
            if (item.text.isEmpty()) return;
            item.font = font.font;
            item.data = e.kind == ElementKind::DataField || e.kind == ElementKind::Expression;
            item.alignment = e.alignment;
        }
        doc_.pages.back().items.push_back(std::move(item));
    }

    QString elementText(const ReportElement& e) const {
        switch (e.kind) {
            case ElementKind::Label:
                return e.text;
            case ElementKind::DataField:
                return fieldText(e);
            case ElementKind::SystemData:
                return e.system == SystemData::PageNumber ? e.text + QString::number(pageNumber())
                                                          : e.text + layout_.title;
            case ElementKind::Expression:
                return e.expression->evaluate(context()).toText();
            case ElementKind::Line:
                break;
        }
        return {};
    }

    QString fieldText(const ReportElement& e) const {
        if (!e.mask.isEmpty()) {
            const QVariant v = data_->value(e.field);
            if (v.typeId() == QMetaType::QDateTime) return formatDateMask(v.toDateTime(), e.mask);
        }
        return data_->displayText(e.field);
    }

    // Fonts are made once per element and shared by its items: building a QFont per item
    // would cost more than the rest of the pass. The expressions with sums are listed once:
    // those of the summary and the spreadsheet's totals run over the whole report, the
    // others over a group.
    void prepareElements() {
        for (ReportBand& band : layout_.bands()) {
            auto& sums = band.kind() == BandKind::Summary ? reportSums_ : sums_;
            for (ReportElement& e : band.elements()) {
                fonts_.try_emplace(&e, e.font.toQFont());
                if (e.expression && e.expression->hasSums()) sums.push_back(&*e.expression);
            }
        }
        for (ReportColumn& c : layout_.columns)
            if (c.total && c.total->hasSums()) reportSums_.push_back(&*c.total);
        for (Expression* e : reportSums_) e->resetSums();
        resetSums();
    }

    const ElementFont& fontFor(const ReportElement& e) const { return fonts_.at(&e); }

    void resetSums() {
        for (Expression* e : sums_) e->resetSums();
    }

    void accumulate() {
        const ExpressionContext ctx = context();
        for (Expression* e : sums_) e->accumulate(ctx);
        for (Expression* e : reportSums_) e->accumulate(ctx);
    }

    ExpressionContext context() const { return ExpressionContext{data_, pageNumber(), groups_}; }
    int pageNumber() const { return static_cast<int>(doc_.pages.size()); }

    ReportLayout layout_;  // a copy: the pass keeps its sums in it
    ReportDataset* data_;
    ReportDocument doc_;
    std::unordered_map<const ReportElement*, ElementFont> fonts_;
    std::vector<Expression*> sums_;
    std::vector<Expression*> reportSums_;
    int groups_ = 0;
    double y_ = 0;
    double footerTop_ = 0;
    double freshPageTop_ = 0;
};

}  // namespace

ReportDocument renderReport(const ReportLayout& layout, ReportDataset* data) {
    return LayoutPass(layout, data).run();
}

}  // namespace zv
