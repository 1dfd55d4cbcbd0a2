#include "office/svg_chart.h"

#include "office/html.h"

#include <cmath>

namespace zv::office {

namespace {

constexpr double kWidth = 760, kHeight = 260, kLeft = 60, kRight = 150, kTop = 16, kBottom = 36;
const char* const kColours[] = {"#1f5fa8", "#c0392b", "#27864b", "#b07a00", "#7b3fa0", "#138a8a", "#555555"};

// A round step for the tonnage axis: 1, 2 or 5 times a power of ten.
double niceStep(double top) {
    const double raw = std::max(top, 1.0) / 4.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

}  // namespace

QString netTonnageChart(const QList<ChartSeries>& series, const QDate& first, const QDate& last) {
    const qint64 days = std::max<qint64>(1, first.daysTo(last));
    double top = 0;
    for (const ChartSeries& s : series)
        for (qint64 v : s.netByDay) top = std::max(top, static_cast<double>(v) / 1000.0);
    const double step = niceStep(top);
    const double axisTop = step * 4;
    const double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
    const auto x = [&](const QDate& d) { return kLeft + plotW * static_cast<double>(first.daysTo(d)) / static_cast<double>(days); };
    const auto y = [&](double t) { return kTop + plotH * (1.0 - t / axisTop); };

    QString svg = QStringLiteral("<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                                 "viewBox=\"0 0 %1 %2\" role=\"img\" aria-label=\"Нетто по дням, т\">")
                      .arg(kWidth)
                      .arg(kHeight);
    for (int i = 0; i <= 4; ++i) {
        const double t = step * i;
        svg += QStringLiteral("<line x1=\"%1\" x2=\"%2\" y1=\"%3\" y2=\"%3\" stroke=\"#ddd\"/>"
                              "<text x=\"%4\" y=\"%5\" font-size=\"11\" text-anchor=\"end\">%6</text>")
                   .arg(kLeft)
                   .arg(kLeft + plotW)
                   .arg(y(t))
                   .arg(kLeft - 6)
                   .arg(y(t) + 4)
                   .arg(t, 0, 'f', step < 1 ? 1 : 0);
    }
    for (QDate d = first; d <= last; d = d.addDays(5))
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"11\" text-anchor=\"middle\">%3</text>")
                   .arg(x(d))
                   .arg(kHeight - kBottom + 16)
                   .arg(d.toString(QStringLiteral("dd.MM")));
    // The last day is labelled too unless a label of the five-day steps stands close to it.
    if (first.daysTo(last) % 5 >= 2)
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"11\" text-anchor=\"middle\">%3</text>")
                   .arg(x(last))
                   .arg(kHeight - kBottom + 16)
                   .arg(last.toString(QStringLiteral("dd.MM")));
    for (qsizetype i = 0; i < series.size(); ++i) {
        const QString colour = QLatin1String(kColours[i % std::size(kColours)]);
        QStringList points;
        for (QDate d = first; d <= last; d = d.addDays(1))
            points.append(QStringLiteral("%1,%2").arg(x(d), 0, 'f', 1).arg(y(series[i].netByDay.value(d) / 1000.0), 0, 'f', 1));
        svg += QStringLiteral("<polyline fill=\"none\" stroke=\"%1\" stroke-width=\"2\" points=\"%2\"/>").arg(colour, points.join(u' '));
        const double ly = kTop + 14 + 18.0 * static_cast<double>(i);
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"14\" height=\"4\" fill=\"%3\"/>"
                              "<text x=\"%4\" y=\"%5\" font-size=\"12\">%6</text>")
                   .arg(kWidth - kRight + 14)
                   .arg(ly - 4)
                   .arg(colour)
                   .arg(kWidth - kRight + 34)
                   .arg(ly + 1)
                   .arg(esc(series[i].name));
    }
    return svg + QStringLiteral("</svg>");
}

}  // namespace zv::office
