#pragma once

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <deque>
#include <initializer_list>
#include <utility>
#include <optional>
#include <vector>

#include "reports/expression.h"

namespace zv {

enum class BandKind {
    Title,
    PageHeader,
    ColumnHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    // After the last row, on the last page: the report's totals.
    Summary,
    PageFooter
};

enum class ElementKind { Label, DataField, SystemData, Line, Expression };

enum class SystemData { ReportTitle, PageNumber };

// Fonts are sized in hundredths of a millimetre, the unit the pages are painted in.
inline constexpr double kFontUnitsPerMm = 100.0;

struct ReportFont {
    QString family = QStringLiteral("DejaVu Sans");
    double pointSize = 9;
    bool bold = false;
    bool condensed = false;

    QFont toQFont() const;
};

// One printable element of a band. Positions are millimetres from the band's top left.
struct ReportElement {
    ElementKind kind = ElementKind::Label;
    QString name;
    QRectF rect;  // a line runs from rect.topLeft() to rect.bottomRight()
    Qt::Alignment alignment = Qt::AlignLeft;
    ReportFont font;
    QString text;   // a label's text, the prefix of system data
    QString field;  // a data field's field name
    QString mask;   // a data field's date-time mask ("hh:nn:ss")
    SystemData system = SystemData::ReportTitle;
    std::optional<Expression> expression;
};

// A column of the spreadsheet export: a data field of the detail and its heading.
struct ReportColumn {
    QString heading;
    QString field;
    // What the totals row holds in this column, summed over every row; none: an empty cell.
    std::optional<Expression> total;
};

class ReportBand {
  public:
    ReportBand(BandKind kind, double height, ReportFont font);

    BandKind kind() const { return kind_; }
    double height() const { return height_; }
    const std::deque<ReportElement>& elements() const { return elements_; }
    std::deque<ReportElement>& elements() { return elements_; }

    ReportElement& addLabel(const QString& name, QRectF rect, const QString& text,
                            Qt::Alignment alignment = Qt::AlignLeft);
    ReportElement& addField(const QString& name, QRectF rect, const QString& field,
                            Qt::Alignment alignment = Qt::AlignLeft, const QString& mask = {});
    ReportElement& addSystemData(const QString& name, QRectF rect, SystemData what,
                                 const QString& prefix = {},
                                 Qt::Alignment alignment = Qt::AlignLeft);
    ReportElement& addExpression(const QString& name, QRectF rect, const QString& expression,
                                 Qt::Alignment alignment = Qt::AlignLeft);
    ReportElement& addLine(const QString& name, QPointF from, QPointF to);

  private:
    ReportElement& add(ElementKind kind, const QString& name, QRectF rect, Qt::Alignment alignment);

    BandKind kind_;
    double height_;
    ReportFont font_;
    std::deque<ReportElement> elements_;
};

// A banded layout: page, bands, options. Built in code by the layout functions and kept for
// the whole run, so that labels can be changed at run time. Bands and elements stay where
// they are when more are added, so a reference to one stays valid.
class ReportLayout {
  public:
    QString name;
    QString title;
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins;  // millimetres: left, top, right, bottom
    ReportFont font;    // default font of the elements added afterwards

    bool printIfEmpty = false;
    bool pageHeaderOnFirstPage = true;
    bool pageFooterOnLastPage = true;
    // Without a data set the title band is printed once over the data set's current row.
    bool iteratesRows = true;
    std::optional<Expression> groupExpression;
    // The spreadsheet export, one row per row of the data set; none: the report has none.
    std::vector<ReportColumn> columns;
    // Lines printed at the foot of every page, in the bottom margin: warnings first, then
    // the program's identification.
    QStringList pageStamp;
    // Where the saved file's proposed name goes beyond the title: the period ("05.03.2026-
    // 31.03.2026"); empty: the title alone.
    QString fileTag;

    ReportBand& addBand(BandKind kind, double height);
    // Columns of the spreadsheet export as {heading (UTF-8), field} pairs, in order.
    void addColumns(std::initializer_list<std::pair<const char*, const char*>> columns);
    // The totals row of the spreadsheet: {field, expression} pairs for the columns of those
    // fields; an unknown field is a ReportError.
    void setColumnTotals(std::initializer_list<std::pair<const char*, QString>> totals);
    bool hasColumnTotals() const;
    const ReportBand* band(BandKind kind) const;
    std::deque<ReportBand>& bands() { return bands_; }
    const std::deque<ReportBand>& bands() const { return bands_; }

    // Size of the page in millimetres, turned for the orientation.
    QSizeF pageSizeMm() const;
    double printableWidth() const;
    QPageLayout pageLayout() const;

    // Labels whose text the program sets at run time; an unknown name is a ReportError.
    void setLabelText(const QString& name, const QString& text);
    QString labelText(const QString& name) const;

  private:
    template <typename Self>
    static auto* findLabel(Self& layout, const QString& name);

    std::deque<ReportBand> bands_;
};

}  // namespace zv
