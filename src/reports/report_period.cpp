#include "reports/report_period.h"

#include <QRegularExpression>

#include "reports/report_dataset.h"

namespace zv {

namespace {

QString moment(const QDateTime& t) {
    return t.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString day(const QDateTime& t) {
    return t.toString(QStringLiteral("dd.MM.yyyy"));
}

}  // namespace

QString ReportPeriod::text() const {
    QString span;
    if (from) span = QStringLiteral("с ") + moment(*from);
    if (to) span += (span.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("по ") + moment(*to);
    if (span.isEmpty())
        span = month.isEmpty() ? QStringLiteral("все записи") : QStringLiteral("весь месяц ") + month;
    return QStringLiteral("Период: ") + span;
}

QString ReportPeriod::fileTag() const {
    if (from && to)
        return day(*from) == day(*to) ? day(*from) : day(*from) + QLatin1Char('-') + day(*to);
    if (from) return QStringLiteral("с ") + day(*from);
    if (to) return QStringLiteral("по ") + day(*to);
    return month;
}

QString bookMonth(const QString& fileName) {
    static const QRegularExpression name(QStringLiteral("^Book\\[(\\d\\d\\.\\d{4})\\]\\.db$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = name.match(fileName);
    return m.hasMatch() ? m.captured(1) : QString();
}

ReportPeriod periodOfRows(ReportDataset& data, const QString& field) {
    ReportPeriod period;
    for (bool more = data.first(); more; more = data.next()) {
        const QDateTime t = data.value(field).toDateTime();
        if (!t.isValid()) continue;
        if (!period.from || t < *period.from) period.from = t;
        if (!period.to || t > *period.to) period.to = t;
    }
    data.first();
    return period;
}

}  // namespace zv
