#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

namespace zv::office {

// One line per scale: net kilograms per day over the days from first to last.
struct ChartSeries {
    QString name;
    QMap<QDate, qint64> netByDay;
};

// An SVG line chart drawn by the service (no script, no file from elsewhere), in tonnes.
QString netTonnageChart(const QList<ChartSeries>& series, const QDate& first, const QDate& last);

}  // namespace zv::office
