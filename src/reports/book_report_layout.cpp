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
    ReportBand& band = layout.addBand(BandKind::Title, 22);
    const double width = layout.printableWidth();
    band.addLabel(QStringLiteral("QRLb1"), QRectF(0, 0, width, 6), QString(), Qt::AlignHCenter)
        .font.pointSize = 11;
    ReportElement& title = band.addSystemData(QStringLiteral("QRSysData1"), QRectF(0, 6, width, 8),
                                              SystemData::ReportTitle, QString(), Qt::AlignHCenter);
    title.font.pointSize = 14;
    title.font.bold = true;
    band.addLabel(QStringLiteral("QRLb2"), QRectF(0, 15, 230, 5), QString());
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

void addDetail(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Detail, 3 * kLine + 1.2);
    const Qt::Alignment right = Qt::AlignRight;
    band.addField(QStringLiteral("QRDBText1"), cell(0, 0), QStringLiteral("Wagon"));
    band.addField(QStringLiteral("QRDBText2"), number(1, 0), QStringLiteral("Brut"), right);
    band.addField(QStringLiteral("QRDBText3"), note(1, 0), QStringLiteral("BNote1"));
    band.addField(QStringLiteral("QRDBText4"), number(2, 0), QStringLiteral("Tare"), right);
    band.addField(QStringLiteral("QRDBText5"), note(2, 0), QStringLiteral("TNote1"));
    band.addField(QStringLiteral("QRDBText6"), cell(3, 0), QStringLiteral("Nett"), right);
    band.addField(QStringLiteral("QRDBText7"), cell(4, 0), QStringLiteral("NLoad"), right);
    band.addField(QStringLiteral("QRDBText8"), cell(5, 0), QStringLiteral("LoadL"));
    band.addField(QStringLiteral("QRDBText9"), cell(6, 0), QStringLiteral("StationL"));
    band.addField(QStringLiteral("QRDBText10"), cell(7, 0), QStringLiteral("Name11"));
    band.addField(QStringLiteral("QRDBText11"), cell(8, 0), QStringLiteral("Time1"));
    band.addField(QStringLiteral("QRDBText12"), cell(9, 0), QStringLiteral("Train1"), right);

    band.addField(QStringLiteral("QRDBText13"), cell(0, 1), QStringLiteral("Doc"));
    band.addField(QStringLiteral("QRDBText14"), number(1, 1), QStringLiteral("BrutD"), right);
    band.addField(QStringLiteral("QRDBText15"), number(2, 1), QStringLiteral("TareD"), right);
    band.addField(QStringLiteral("QRDBText16"), cell(3, 1), QStringLiteral("NettD"), right);
    band.addField(QStringLiteral("QRDBText17"), cell(4, 1), QStringLiteral("NLoadD"), right);
    band.addField(QStringLiteral("QRDBText18"), cell(5, 1), QStringLiteral("Dir1"));
    band.addField(QStringLiteral("QRDBText19"), cell(6, 1), QStringLiteral("ClientL"));
    band.addField(QStringLiteral("QRDBText20"), cell(7, 1), QStringLiteral("Name21"));
    band.addField(QStringLiteral("QRDBText21"), cell(8, 1), QStringLiteral("Time2"));
    band.addField(QStringLiteral("QRDBText22"), cell(9, 1), QStringLiteral("Train2"), right);

    band.addField(QStringLiteral("QRDBText23"), number(2, 2), QStringLiteral("TareW"), right);
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
    return layout;
}

}  // namespace zv
