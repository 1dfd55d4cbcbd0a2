#include "reports/waybill_layout.h"

namespace zv {

namespace {

constexpr double kLine = 6;
constexpr double kRow = 8;   // distance between the rows of the three columns
constexpr double kTop = 26;  // first row of the columns ("Вагон:", "№ документа:")

double row(int n) {
    return kTop + n * kRow;
}

// A caption ending where its value begins.
void addPair(ReportBand& band, const QString& labelName, double x, double valueX, int rowNo,
             const QString& caption) {
    band.addLabel(labelName, QRectF(x, row(rowNo), valueX - x, kLine), caption);
}

void addLeftColumn(ReportBand& band) {
    const double x = 0;
    const double v = 34;
    const QString captions[] = {"Вагон:", "Станция:", "Заезд:", "Груз:", "Неправление:"};
    const QString fields[] = {"Wagon", "StationL", "Time1", "LoadL", "Dir1"};
    for (int i = 0; i < 5; ++i) {
        addPair(band, QStringLiteral("QRLabelL%1").arg(i + 1), x, v, i, captions[i]);
        band.addField(QStringLiteral("QRDBTextL%1").arg(i + 1), QRectF(v, row(i), 60, kLine),
                      fields[i]);
    }
}

void addMiddleColumn(ReportBand& band) {
    const double x = 98;
    const double v = 130;
    // A caption and its field, numbered alike.
    auto addCaptioned = [&](int n, int rowNo, const QString& caption, const QString& field) {
        addPair(band, QStringLiteral("QRLabelM%1").arg(n), x, v, rowNo, caption);
        band.addField(QStringLiteral("QRDBTextM%1").arg(n), QRectF(v, row(rowNo), 40, kLine),
                      field);
    };
    addCaptioned(1, 0, QStringLiteral("№ документа:"), QStringLiteral("Doc"));
    addCaptioned(2, 2, QStringLiteral("Выезд:"), QStringLiteral("Time2"));
    addCaptioned(3, 3, QStringLiteral("Мест:"), QStringLiteral("NLoad"));
    addCaptioned(4, 4, QStringLiteral("Брутто, кг:"), QStringLiteral("Brut"));
    addPair(band, QStringLiteral("QRLabelM5"), x, v, 5, QStringLiteral("Тара, кг:"));
    // A tare not weighed is the one the net weight was worked out with, typed by the
    // operator from the document or from the wagon, and marked so, as the book prints it.
    band.addExpression(QStringLiteral("QRExpr1"), QRectF(v, row(5), 75, kLine),
                       QStringLiteral("IF(Book.Tare>0,FORMATNUMERIC('#####0',Book.Tare),"
                                      "IF(Book.TareD>0,FORMATNUMERIC('#####0',Book.TareD)+' (введена вручную)',"
                                      "IF(Book.TareW>0,FORMATNUMERIC('#####0',Book.TareW)+' (введена вручную)','')))"));
    addCaptioned(6, 6, QStringLiteral("Нетто, кг:"), QStringLiteral("Nett"));
}

void addRightColumn(ReportBand& band) {
    const double x = 185;
    band.addLabel(QStringLiteral("QRLabelR1"), QRectF(x, row(0), 62, kLine),
                  QStringLiteral("Масса нетто потележечно, кг"));
    addPair(band, QStringLiteral("QRLabelR2"), x + 4, x + 30, 1, QStringLiteral("Тележка 1"));
    band.addField(QStringLiteral("QRDBTextR1"), QRectF(x + 30, row(1), 25, kLine),
                  QStringLiteral("WeiL0"));
    addPair(band, QStringLiteral("QRLabelR3"), x + 4, x + 30, 2, QStringLiteral("Тележка 2"));
    band.addField(QStringLiteral("QRDBTextR2"), QRectF(x + 30, row(2), 25, kLine),
                  QStringLiteral("WeiL1"));
}

void addSignatures(ReportBand& band, ReportFont small) {
    const double top = 112;
    const double low = 132;
    small.pointSize = 8;
    auto caption = [&](const QString& name, double x, double y, const QString& text) {
        band.addLabel(name, QRectF(x, y, 40, 4), text).font = small;
    };
    band.addLabel(QStringLiteral("QRLabelS1"), QRectF(0, top, 25, kLine),
                  QStringLiteral("Отгрузил:"));
    band.addExpression(QStringLiteral("QRExpr2"), QRectF(25, top, 60, kLine),
                       QStringLiteral("IF(Book.Name2 = 0,'________________ ',Book.Name21)"));
    band.addLabel(QStringLiteral("QRLabelS2"), QRectF(0, low, 25, kLine),
                  QStringLiteral("Охрана:"));
    band.addLabel(QStringLiteral("QRLabelS3"), QRectF(25, low, 45, kLine),
                  QStringLiteral("________________"));
    caption(QStringLiteral("QRLabelS4"), 35, low + kLine, QStringLiteral("подпись"));
    band.addLabel(QStringLiteral("QRLabelS5"), QRectF(98, top, 70, kLine),
                  QStringLiteral("________________  М.П."));
    caption(QStringLiteral("QRLabelS6"), 108, top + kLine, QStringLiteral("подпись"));
    band.addLabel(QStringLiteral("QRLabelS7"), QRectF(98, low, 110, kLine),
                  QStringLiteral("Получил:   ________________ / __________"));
    caption(QStringLiteral("QRLabelS8"), 130, low + kLine, QStringLiteral("подпись"));
    caption(QStringLiteral("QRLabelS9"), 165, low + kLine, QStringLiteral("Ф.И.О."));
}

}  // namespace

ReportLayout makeWaybill() {
    ReportLayout layout;
    layout.name = QStringLiteral("QR2");
    layout.title = QStringLiteral("ZOL - Накладная");
    layout.orientation = QPageLayout::Landscape;
    layout.margins = QMarginsF(25, 25, 25, 25);
    layout.iteratesRows = false;
    layout.font.pointSize = 11;
    ReportBand& band = layout.addBand(BandKind::Title, 150);
    ReportElement& heading = band.addLabel(QStringLiteral("QRLabel1"), QRectF(0, 0, 140, 8),
                                           QStringLiteral("НАКЛАДНАЯ  № __________"));
    heading.font.pointSize = 14;
    heading.font.bold = true;
    band.addLabel(QStringLiteral("QRLabel2"), QRectF(0, 11, 30, kLine),
                  QStringLiteral("Предприятие:"));
    band.addLabel(QStringLiteral("QRLn1"), QRectF(30, 11, 200, kLine), QString());
    addLeftColumn(band);
    addMiddleColumn(band);
    addRightColumn(band);
    addSignatures(band, layout.font);
    return layout;
}

}  // namespace zv
