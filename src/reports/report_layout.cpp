#include "reports/report_layout.h"

#include "reports/report_error.h"

#include <algorithm>

namespace zv {

QFont ReportFont::toQFont() const {
    QFont f(family);
    f.setBold(bold);
    if (condensed) f.setStretch(QFont::Condensed);
    // The painter works in hundredths of a millimetre; a point is 25.4 / 72 mm.
    f.setPixelSize(qRound(pointSize * 2540.0 / 72.0));
    return f;
}

ReportBand::ReportBand(BandKind kind, double height, ReportFont font)
    : kind_(kind), height_(height), font_(std::move(font)) {}

ReportElement& ReportBand::add(ElementKind kind, const QString& name, QRectF rect,
                               Qt::Alignment alignment) {
    ReportElement e;
    e.kind = kind;
    e.name = name;
    e.rect = rect;
    e.alignment = alignment;
    e.font = font_;
    elements_.push_back(std::move(e));
    return elements_.back();
}

ReportElement& ReportBand::addLabel(const QString& name, QRectF rect, const QString& text,
                                    Qt::Alignment alignment) {
    ReportElement& e = add(ElementKind::Label, name, rect, alignment);
    e.text = text;
    return e;
}

ReportElement& ReportBand::addField(const QString& name, QRectF rect, const QString& field,
                                    Qt::Alignment alignment, const QString& mask) {
    ReportElement& e = add(ElementKind::DataField, name, rect, alignment);
    e.field = field;
    e.mask = mask;
    return e;
}

ReportElement& ReportBand::addSystemData(const QString& name, QRectF rect, SystemData what,
                                         const QString& prefix, Qt::Alignment alignment) {
    ReportElement& e = add(ElementKind::SystemData, name, rect, alignment);
    e.system = what;
    e.text = prefix;
    return e;
}

ReportElement& ReportBand::addExpression(const QString& name, QRectF rect,
                                         const QString& expression, Qt::Alignment alignment) {
    ReportElement& e = add(ElementKind::Expression, name, rect, alignment);
    e.expression = Expression::parse(expression);
    return e;
}

ReportElement& ReportBand::addLine(const QString& name, QPointF from, QPointF to) {
    return add(ElementKind::Line, name, QRectF(from, to), Qt::AlignLeft);
}

void ReportLayout::addColumns(std::initializer_list<std::pair<const char*, const char*>> list) {
    for (const auto& [heading, field] : list)
        columns.push_back({QString::fromUtf8(heading), QString::fromLatin1(field), std::nullopt});
}

void ReportLayout::setColumnTotals(std::initializer_list<std::pair<const char*, QString>> totals) {
    for (const auto& [field, expression] : totals) {
        auto column = std::find_if(columns.begin(), columns.end(), [&](const ReportColumn& c) {
            return c.field == QLatin1String(field);
        });
        if (column == columns.end())
            throw ReportError(QStringLiteral("No column %1 in the layout %2")
                                  .arg(QLatin1String(field), name));
        column->total = Expression::parse(expression);
    }
}

bool ReportLayout::hasColumnTotals() const {
    return std::any_of(columns.begin(), columns.end(),
                       [](const ReportColumn& c) { return c.total.has_value(); });
}

ReportBand& ReportLayout::addBand(BandKind kind, double height) {
    bands_.emplace_back(kind, height, font);
    return bands_.back();
}

const ReportBand* ReportLayout::band(BandKind kind) const {
    for (const auto& b : bands_)
        if (b.kind() == kind) return &b;
    return nullptr;
}

QSizeF ReportLayout::pageSizeMm() const {
    const QSizeF s = pageSize.size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

double ReportLayout::printableWidth() const {
    return pageSizeMm().width() - margins.left() - margins.right();
}

QPageLayout ReportLayout::pageLayout() const {
    return QPageLayout(pageSize, orientation, QMarginsF(), QPageLayout::Millimeter);
}

template <typename Self>
auto* ReportLayout::findLabel(Self& layout, const QString& name) {
    decltype(&layout.bands_.front().elements().front()) found = nullptr;
    for (auto& b : layout.bands_)
        for (auto& e : b.elements())
            if (e.kind == ElementKind::Label && e.name == name) found = &e;
    return found;
}

void ReportLayout::setLabelText(const QString& name, const QString& text) {
    ReportElement* label = findLabel(*this, name);
    if (!label)
        throw ReportError(QStringLiteral("No label %1 in the layout %2").arg(name, this->name));
    label->text = text;
}

QString ReportLayout::labelText(const QString& name) const {
    const ReportElement* label = findLabel(*this, name);
    if (!label)
        throw ReportError(QStringLiteral("No label %1 in the layout %2").arg(name, this->name));
    return label->text;
}

}  // namespace zv
