#include "reports/csv_export.h"

#include <QStringList>

#include "reports/report_document.h"

namespace zv {

namespace {

QString cell(QString text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString line(const QStringList& cells) {
    QStringList quoted;
    quoted.reserve(cells.size());
    for (const QString& c : cells) quoted << cell(c);
    return quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

}  // namespace

QByteArray toCsv(const ReportTable& table) {
    QString text = line(table.headings);
    for (const QStringList& row : table.rows) text += line(row);
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace zv
