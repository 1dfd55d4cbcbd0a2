#include "integrity_ui/event_log_report.h"

namespace zv {

namespace {

constexpr double kLine = 4;

struct Column {
    const char* field;
    const char* caption;
    double left, width;
};

// Millimetres from the left margin of a landscape A4 page (277 mm wide inside the margins).
constexpr Column kColumns[] = {
    {"N", "№", 0, 12},           {"Time", "Время", 13, 33},     {"Operator", "Оператор", 47, 28},
    {"Kind", "Событие", 76, 34}, {"Subject", "Предмет", 111, 62}, {"OldValue", "Было", 174, 51},
    {"NewValue", "Стало", 226, 51},
};

}  // namespace

ReportLayout makeEventLogReport() {
    ReportLayout layout;
    layout.name = QStringLiteral("QREvents");
    layout.title = QStringLiteral("Журнал событий");
    layout.orientation = QPageLayout::Landscape;
    layout.margins = QMarginsF(10, 10, 10, 12);
    layout.printIfEmpty = true;
    layout.font.pointSize = 7;

    ReportBand& title = layout.addBand(BandKind::Title, 10);
    title.addSystemData(QStringLiteral("QRETitle"), QRectF(0, 0, layout.printableWidth(), 7), SystemData::ReportTitle, {},
                        Qt::AlignHCenter)
        .font.pointSize = 12;
    ReportBand& header = layout.addBand(BandKind::ColumnHeader, kLine + 2);
    ReportBand& detail = layout.addBand(BandKind::Detail, kLine);
    for (const Column& c : kColumns) {
        ReportElement& caption = header.addLabel(QStringLiteral("QREH%1").arg(QLatin1String(c.field)),
                                                 QRectF(c.left, 0.5, c.width, kLine), QString::fromUtf8(c.caption));
        caption.font.bold = true;
        detail.addField(QStringLiteral("QRED%1").arg(QLatin1String(c.field)), QRectF(c.left, 0, c.width, kLine),
                        QLatin1String(c.field));
    }
    header.addLine(QStringLiteral("QREHLine"), QPointF(0, kLine + 1.5), QPointF(layout.printableWidth(), kLine + 1.5));
    ReportBand& footer = layout.addBand(BandKind::PageFooter, 6);
    footer.addSystemData(QStringLiteral("QREPage"), QRectF(0, 1, layout.printableWidth(), kLine), SystemData::PageNumber,
                         QStringLiteral("Стр. "), Qt::AlignRight);
    return layout;
}

MemoryDataset eventLogDataset(const QList<Event>& events) {
    QStringList fields;
    for (const Column& c : kColumns) fields.append(QLatin1String(c.field));
    MemoryDataset data(QStringLiteral("Events"), fields);
    for (const Event& e : events) {
        data.addRow({{QStringLiteral("N"), e.n},
                     {QStringLiteral("Time"), e.time.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz"))},
                     {QStringLiteral("Operator"), e.operatorName},
                     {QStringLiteral("Kind"), e.kind},
                     {QStringLiteral("Subject"), e.subject},
                     {QStringLiteral("OldValue"), e.oldValue},
                     {QStringLiteral("NewValue"), e.newValue}});
    }
    return data;
}

}  // namespace zv
