#include "reports/trains_report_layout.h"

#include "reports/report_period.h"

namespace zv {

namespace {

constexpr double kLine = 4.2;

// Column edges shared by the group header and the detail, millimetres from the left margin.
struct Column {
    double left;
    double width;
};
constexpr Column kWagon{0, 20};
constexpr Column kWeight{21, 18};
constexpr Column kNote{42, 22};
constexpr Column kTime{65, 16};
constexpr Column kSpeed{82, 16};
constexpr Column kAxles{99, 10};
constexpr Column kBase{110, 12};
constexpr Column kBogies{128, 62};

QRectF at(Column c, double top = 0.5) {
    return QRectF(c.left, top, c.width, kLine);
}

void addTitle(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Title, 27);
    const double width = layout.printableWidth();
    band.addLabel(QStringLiteral("QRL1"), QRectF(0, 0, width, 6), QString(), Qt::AlignHCenter)
        .font.pointSize = 11;
    ReportElement& title = band.addSystemData(QStringLiteral("QRSysData1"), QRectF(0, 6, width, 8),
                                              SystemData::ReportTitle, QString(), Qt::AlignHCenter);
    title.font.pointSize = 14;
    title.font.bold = true;
    // The period is that of the rows printed, filled in when the report is made.
    band.addLabel(QStringLiteral("QRL2"), QRectF(0, 16, width, 5), QString());
    band.addLabel(QStringLiteral("QRL3"), QRectF(0, 21, width, 5),
                  QStringLiteral("Фильтр: все составы, взвешенные в движении"));
}

void addPageHeader(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::PageHeader, 7);
    band.addSystemData(QStringLiteral("QRSysData2"), QRectF(140, 0, 50, 5), SystemData::PageNumber,
                       QStringLiteral("Стр. "), Qt::AlignRight);
}

void addGroupHeader(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::GroupHeader, 9);
    const double width = layout.printableWidth();
    band.addLine(QStringLiteral("QRShape1"), QPointF(0, 1.5), QPointF(width, 1.5));
    const double top = 2.2;
    band.addLabel(QStringLiteral("QRLabel2"), at(kWagon, top), QStringLiteral("Вагон"));
    band.addLabel(QStringLiteral("QRLabel3"), at(kWeight, top), QStringLiteral("Масса, кг"),
                  Qt::AlignRight);
    band.addLabel(QStringLiteral("QRLabel4"), at(kNote, top), QStringLiteral("Примечание"));
    band.addLabel(QStringLiteral("QRLabel5"), at(kTime, top), QStringLiteral("Время"));
    band.addLabel(QStringLiteral("QRLabel6"), at(kSpeed, top), QStringLiteral("Скорость"),
                  Qt::AlignRight);
    band.addLabel(QStringLiteral("QRLabel7"), at(kAxles, top), QStringLiteral("Осей"),
                  Qt::AlignRight);
    band.addLabel(QStringLiteral("QRLabel8"), at(kBase, top), QStringLiteral("База"),
                  Qt::AlignRight);
    band.addLabel(QStringLiteral("QRLabel9"), at(kBogies, top),
                  QStringLiteral("Масса потележечно, кг"));
    band.addLine(QStringLiteral("QRShape2"), QPointF(0, 7.2), QPointF(width, 7.2));
}

void addDetail(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Detail, kLine + 0.3);
    const Qt::Alignment right = Qt::AlignRight;
    band.addField(QStringLiteral("QRDBText1"), at(kWagon), QStringLiteral("Wagon"));
    band.addField(QStringLiteral("QRDBText2"), at(kWeight), QStringLiteral("Weight"), right);
    band.addField(QStringLiteral("QRDBText3"), at(kNote), QStringLiteral("Note1"));
    band.addField(QStringLiteral("QRDBText4"), at(kTime), QStringLiteral("Time"), Qt::AlignLeft,
                  QStringLiteral("hh:nn:ss"));
    band.addField(QStringLiteral("QRDBText5"), at(kSpeed), QStringLiteral("Speed"), right);
    band.addField(QStringLiteral("QRDBText6"), at(kAxles), QStringLiteral("Axle"), right);
    band.addField(QStringLiteral("QRDBText7"), at(kBase), QStringLiteral("BaseW"), right);
    band.addField(QStringLiteral("QRDBText8"), QRectF(kBogies.left, 0.5, 16, kLine),
                  QStringLiteral("WeiL0"), right);
    band.addField(QStringLiteral("QRDBText9"), QRectF(kBogies.left + 20, 0.5, 16, kLine),
                  QStringLiteral("WeiL1"), right);
}

// The wagons a train counts (processed or not; locomotives and problem rows left out) and
// their weight.
const QString kCountedWagons = QStringLiteral("SUM(IF((Trains.Note<3),1,0))");
const QString kCountedWeight = QStringLiteral("SUM(IF(Trains.Note<3,Trains.Weight,0))");

// Names of the elements of "Вагонов" and "Вес" with their sums.
struct CountNames {
    const char* countLabel;
    const char* count;
    const char* weightLabel;
    const char* weight;
};

void addCountAndWeight(ReportBand& band, double top, const CountNames& n) {
    band.addLabel(QLatin1String(n.countLabel), QRectF(66, top, 17, kLine), QStringLiteral("Вагонов"));
    band.addExpression(QLatin1String(n.count), QRectF(83, top, 14, kLine), kCountedWagons);
    band.addLabel(QLatin1String(n.weightLabel), QRectF(99, top, 8, kLine), QStringLiteral("Вес"));
    band.addExpression(QLatin1String(n.weight), QRectF(107, top, 25, kLine), kCountedWeight);
}

void addGroupFooter(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::GroupFooter, 10);
    band.addLine(QStringLiteral("QRShape3"), QPointF(0, 0.5),
                 QPointF(layout.printableWidth(), 0.5));
    const double top = 1.3;
    band.addLabel(QStringLiteral("QRLabel10"), QRectF(0, top, 13, kLine), QStringLiteral("Состав"));
    band.addField(QStringLiteral("QRDBText10"), QRectF(13, top, 10, kLine),
                  QStringLiteral("Train"));
    band.addField(QStringLiteral("QRDBText11"), QRectF(24, top, 14, kLine),
                  QStringLiteral("Direct"));
    band.addField(QStringLiteral("QRDBText12"), QRectF(40, top, 22, kLine), QStringLiteral("Time"),
                  Qt::AlignLeft, QStringLiteral("dd.mm.yyyy"));
    addCountAndWeight(band, top, {"QRLabel11", "QRExpr1", "QRLabel12", "QRExpr2"});
}

// The totals of the whole report, counted as the group footers count.
void addSummary(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::Summary, 10);
    const double width = layout.printableWidth();
    band.addLine(QStringLiteral("QRShape4"), QPointF(0, 0.5), QPointF(width, 0.5));
    band.addLine(QStringLiteral("QRShape5"), QPointF(0, 1.1), QPointF(width, 1.1));
    const double top = 1.9;
    band.addLabel(QStringLiteral("QRLabel14"), QRectF(0, top, 13, kLine), QStringLiteral("Итого"))
        .font.bold = true;
    band.addLabel(QStringLiteral("QRLabel15"), QRectF(24, top, 17, kLine),
                  QStringLiteral("Составов"));
    band.addExpression(QStringLiteral("QRExpr4"), QRectF(41, top, 20, kLine),
                       QStringLiteral("GROUPCOUNT"));
    addCountAndWeight(band, top, {"QRLabel16", "QRExpr5", "QRLabel17", "QRExpr6"});
}

void addPageFooter(ReportLayout& layout) {
    ReportBand& band = layout.addBand(BandKind::PageFooter, 7);
    band.addLabel(QStringLiteral("QRLabel13"), QRectF(110, 1.5, 68, kLine),
                  QStringLiteral("Продолжение на стр."), Qt::AlignRight);
    band.addExpression(QStringLiteral("QRExpr3"), QRectF(179, 1.5, 11, kLine),
                       QStringLiteral("PAGENUMBER+1"));
}

// The spreadsheet's columns: the train of the group footer first, then the wagon's line.
void addColumns(ReportLayout& layout) {
    layout.addColumns({
        {"Состав", "Train"},
        {"Направление", "Direct"},
        {"Вагон", "Wagon"},
        {"Масса, кг", "Weight"},
        {"Примечание", "Note1"},
        {"Время", "Time"},
        {"Скорость", "Speed"},
        {"Осей", "Axle"},
        {"База", "BaseW"},
        {"Масса потележечно, кг: тележка 1", "WeiL0"},
        {"Масса потележечно, кг: тележка 2", "WeiL1"},
    });
    layout.setColumnTotals({
        {"Train", QStringLiteral("'Итого, составов: '+GROUPCOUNT")},
        {"Wagon", QStringLiteral("'вагонов: '+") + kCountedWagons},
        {"Weight", kCountedWeight},
    });
}

}  // namespace

ReportLayout trainsReportOver(const ReportLayout& trains, ReportDataset& rows) {
    const ReportPeriod period = periodOfRows(rows, QStringLiteral("Time"));
    ReportLayout layout = trains;
    layout.setLabelText(QStringLiteral("QRL2"), period.text());
    layout.fileTag = period.fileTag();
    return layout;
}

ReportLayout makeTrainsReport() {
    ReportLayout layout;
    layout.name = QStringLiteral("QR1");
    layout.title = QStringLiteral("Составы, взвешенные в движении");
    layout.orientation = QPageLayout::Portrait;
    layout.margins = QMarginsF(10, 10, 10, 10);
    layout.printIfEmpty = false;
    layout.pageHeaderOnFirstPage = false;
    layout.pageFooterOnLastPage = false;
    layout.groupExpression = Expression::parse(QStringLiteral("Trains.Train"));
    layout.font.pointSize = 9;
    addTitle(layout);
    addPageHeader(layout);
    addGroupHeader(layout);
    addDetail(layout);
    addGroupFooter(layout);
    addSummary(layout);
    addPageFooter(layout);
    addColumns(layout);
    return layout;
}

}  // namespace zv
