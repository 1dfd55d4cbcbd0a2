#include "reports/book_report_layout.h"

namespace zv {

namespace {

// Left edges of the ten columns, millimetres from the left margin; the last is the right edge.
constexpr double kCol[] = {0, 22, 52, 82, 100, 112, 152, 192, 224, 251, 262};
constexpr double kLine = 3.7;        // height of one text line of the detail and the column header
constexpr double kNumberWidth = 17;  // width of a weight before its method note

double colWidth(int c) {
    return kCol[c + 1] - kCol[c];
}

QRectF cell(int column, int line, double inset = 0.5) {
    return QRectF(kCol[column] + inset, 0.4 + line * kLine, colWidth(column) - 2 * inset, kLine);
}

QRectF number(int column, int line) {
    return QRectF(kCol[column], 0.4 + line * kLine, kNumberWidth, kLine);
}

QRectF note(int column, int line) {
    return QRectF(kCol[column] + kNumberWidth + 1, 0.4 + line * kLine,
                  colWidth(column) - kNumberWidth - 1, kLine);
}

void addPageHeader(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::PageHeader, 6);
    band.addSystemData(QStringLiteral("QRSysData2"), QRectF(202, 0, 60, 5), SystemData::PageNumber,
                       QStringLiteral("стр. "), Qt::AlignRight);
}

void addTitle(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Title, 26);
    const double width = layout.printableWidth();
    band.addLabel(QStringLiteral("QRLb1"), QRectF(0, 0, width, 6), QString(), Qt::AlignHCenter)
        .font.pointSize = 11;
    ReportElement& title = band.addSystemData(QStringLiteral("QRSysData1"), QRectF(0, 6, width, 8),
                                              SystemData::ReportTitle, QString(), Qt::AlignHCenter);
    title.font.pointSize = 14;
    title.font.bold = true;
    // The period the report was made for, then the filter's description.
    band.addLabel(QStringLiteral("QRLb4"), QRectF(0, 15, 230, 5), QString());
    band.addLabel(QStringLiteral("QRLb2"), QRectF(0, 20, 230, 5), QString());
    band.addLabel(QStringLiteral("QRLb3"), QRectF(250, 15, 12, 5), QStringLiteral("___"));
}

void addColumnHeader(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::ColumnHeader, 3 * kLine + 1.5);
    band.addLine(QStringLiteral("QRShape1"), QPointF(0, 0), QPointF(kCol[10], 0));
    const QString line1[] = {
        "Вагон",   "Брутто, кг", "Тара, кг",    "Нетто, кг", "Мест", "Наименование груза",
        "Станция", "Впустил",    "Дата, время", "Состав"};
    for (int c = 0; c < 10; ++c)
        band.addLabel(QStringLiteral("QRLh1_%1").arg(c + 1), cell(c, 0), line1[c]);
    band.addLabel(QStringLiteral("QRLh2_1"), cell(0, 1), QStringLiteral("№ докум."));
    band.addLabel(QStringLiteral("QRLh2_2"),
                  QRectF(kCol[1] + 0.5, 0.4 + kLine, kCol[4] - kCol[1], kLine),
                  QStringLiteral("(вторая строка - масса по документам)"));
    band.addLabel(QStringLiteral("QRLh2_6"), cell(5, 1), QStringLiteral("Направление"));
    band.addLabel(QStringLiteral("QRLh2_7"), cell(6, 1),
                  QStringLiteral("Получатель / отправитель"));
    band.addLabel(QStringLiteral("QRLh2_8"), cell(7, 1), QStringLiteral("Выпустил"));
    band.addLabel(QStringLiteral("QRLh3_3"), QRectF(kCol[2] + 0.5, 0.4 + 2 * kLine, 48, kLine),
                  QStringLiteral("Тара, указанная на вагоне"));
}

// A field of the detail band: where it stands and how it is aligned.
struct DetailField {
    QRectF rect;
    const char* field;
    Qt::Alignment alignment = Qt::AlignLeft;
};

void addDetail(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Detail, 3 * kLine + 1.2);
    const Qt::Alignment right = Qt::AlignRight;
    // The weighings on the first line, the waybill and the release on the second, the tare
    // written on the wagon on the third; numbered QRDBText1, QRDBText2, ... in this order.
    const DetailField fields[] = {
        {cell(0, 0), "Wagon"},
        {number(1, 0), "Brut", right},
        {note(1, 0), "BNote1"},
        // The tare the net weight is worked out with: weighed, or typed when not weighed.
        {number(2, 0), "TareN", right},
        {note(2, 0), "TNote1"},
        {cell(3, 0), "Nett", right},
        {cell(4, 0), "NLoad", right},
        {cell(5, 0), "LoadL"},
        {cell(6, 0), "StationL"},
        {cell(7, 0), "Name11"},
        {cell(8, 0), "Time1"},
        {cell(9, 0), "Train1", right},

        {cell(0, 1), "Doc"},
        {number(1, 1), "BrutD", right},
        {number(2, 1), "TareD", right},
        {cell(3, 1), "NettD", right},
        {cell(4, 1), "NLoadD", right},
        {cell(5, 1), "Dir1"},
        {cell(6, 1), "ClientL"},
        {cell(7, 1), "Name21"},
        {cell(8, 1), "Time2"},
        {cell(9, 1), "Train2", right},

        {number(2, 2), "TareW", right},
    };
    int n = 0;
    for (const DetailField& f : fields)
        band.addField(QStringLiteral("QRDBText%1").arg(++n), f.rect, QString::fromLatin1(f.field),
                      f.alignment);
    band.addLabel(QStringLiteral("QRLd1"),
                  QRectF(kCol[4], 0.4 + 2 * kLine, kCol[6] - kCol[4] - 1, kLine),
                  QStringLiteral("Распределение груза по тележкам, кг:"), right);
    band.addField(QStringLiteral("QRDBText24"), QRectF(kCol[6], 0.4 + 2 * kLine, 15, kLine),
                  QStringLiteral("WeiL0"), right);
    band.addLabel(QStringLiteral("QRLd2"), QRectF(kCol[6] + 15, 0.4 + 2 * kLine, 3, kLine),
                  QStringLiteral(", "));
    band.addField(QStringLiteral("QRDBText25"), QRectF(kCol[6] + 18, 0.4 + 2 * kLine, 20, kLine),
                  QStringLiteral("WeiL1"));
}

// Under the weighed masses, their sums; under the masses by the documents, theirs; the
// number of wagons under "Вагон".
void addSummary(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Summary, 2 * kLine + 2.5);
    band.addLine(QStringLiteral("QRShape2"), QPointF(0, 0.5), QPointF(kCol[10], 0.5));
    const double top = 1.0;
    auto at = [&](QRectF r) { return r.translated(0, top); };
    band.addLabel(QStringLiteral("QRLs1"), at(cell(0, 0)), QStringLiteral("Итого")).font.bold = true;
    band.addExpression(QStringLiteral("QRExprS1"), at(cell(0, 1)), QStringLiteral("'вагонов: '+SUM(1)"));
    const Qt::Alignment right = Qt::AlignRight;
    const struct {
        QRectF rect;
        const char* field;
    } sums[] = {
        {number(1, 0), "Brut"},  {number(2, 0), "TareN"}, {cell(3, 0), "Nett"},
        {cell(4, 0), "NLoad"},   {number(1, 1), "BrutD"}, {number(2, 1), "TareD"},
        {cell(3, 1), "NettD"},   {cell(4, 1), "NLoadD"},
    };
    int n = 1;
    for (const auto& s : sums)
        band.addExpression(QStringLiteral("QRExprS%1").arg(++n), at(s.rect),
                           QStringLiteral("SUM(Book.%1)").arg(QLatin1String(s.field)), right);
}

// The spreadsheet's columns: left to right as printed, the first line before the second;
// a field without a heading of its own is named after the heading it stands under.
void addColumns(ReportLayout& layout) {
    layout.addColumns({
        {"Вагон", "Wagon"},
        {"№ докум.", "Doc"},
        {"Брутто, кг", "Brut"},
        {"Брутто, кг: метод", "BNote1"},
        {"Брутто, кг (по документам)", "BrutD"},
        {"Тара, кг", "TareN"},
        {"Тара, кг: метод", "TNote1"},
        {"Тара, кг (по документам)", "TareD"},
        {"Тара, указанная на вагоне", "TareW"},
        {"Нетто, кг", "Nett"},
        {"Нетто, кг (по документам)", "NettD"},
        {"Мест", "NLoad"},
        {"Мест (по документам)", "NLoadD"},
        {"Наименование груза", "LoadL"},
        {"Направление", "Dir1"},
        {"Станция", "StationL"},
        {"Получатель / отправитель", "ClientL"},
        {"Впустил", "Name11"},
        {"Выпустил", "Name21"},
        {"Дата, время (впустил)", "Time1"},
        {"Дата, время (выпустил)", "Time2"},
        {"Состав (впустил)", "Train1"},
        {"Состав (выпустил)", "Train2"},
        {"Распределение груза по тележкам, кг: тележка 1", "WeiL0"},
        {"Распределение груза по тележкам, кг: тележка 2", "WeiL1"},
    });
    auto sum = [](const char* field) { return QStringLiteral("SUM(Book.%1)").arg(QLatin1String(field)); };
    layout.setColumnTotals({
        {"Wagon", QStringLiteral("'Итого, вагонов: '+SUM(1)")},
        {"Brut", sum("Brut")},
        {"BrutD", sum("BrutD")},
        {"TareN", sum("TareN")},
        {"TareD", sum("TareD")},
        {"Nett", sum("Nett")},
        {"NettD", sum("NettD")},
        {"NLoad", sum("NLoad")},
        {"NLoadD", sum("NLoadD")},
    });
}

}  // namespace

ReportLayout makeBookReport() {
    ReportLayout layout;
    layout.name = QStringLiteral("QR3");
    layout.title = QStringLiteral("Отчет по весовой книге");
    layout.orientation = QPageLayout::Landscape;
    layout.margins = QMarginsF(20, 20, 15, 20);
    layout.printIfEmpty = true;
    layout.pageHeaderOnFirstPage = true;
    layout.pageFooterOnLastPage = true;
    layout.font.pointSize = 8;
    layout.font.condensed = true;
    addPageHeader(layout);
    addTitle(layout);
    addColumnHeader(layout);
    addDetail(layout);
    addSummary(layout);
    addColumns(layout);
    return layout;
}

}  // namespace zv
