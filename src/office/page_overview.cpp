#include "integrity/event_kinds.h"
#include "office/html.h"
#include "office/pages.h"
#include "office/svg_chart.h"

#include <QHash>

namespace zv::office {

namespace {

struct ScaleLine {
    QString name, lastContact, refused;
    QString waiting, reportedAt;  // the outbox backlog the scale last reported, and when; null when never
    qint64 openFindings = 0, wagonsToday = 0, netToday = 0;
};

QHash<QString, QString> valueByScale(central::PgConnection& db, const QString& sql, const QStringList& p) {
    const central::PgResult r = db.exec(sql, p);
    QHash<QString, QString> out;
    for (int i = 0; i < r.rows(); ++i) out.insert(r.text(i, 0), r.text(i, 1));
    return out;
}

QList<ScaleLine> scaleLines(central::PgConnection& db, const QDate& today) {
    const central::PgResult scales =
        db.exec(QStringLiteral("SELECT scale, to_char(received_at, 'YYYY-MM-DD HH24:MI:SS'), outbox_waiting, outbox_refused, "
                               "to_char(outbox_reported_at, 'YYYY-MM-DD HH24:MI:SS') FROM central.scales ORDER BY scale"));
    const QString day = today.toString(Qt::ISODate);
    const central::PgResult todays = db.exec(QStringLiteral(
        "SELECT scale, count(*), coalesce(sum(net), 0) FROM central.office_book "
        "WHERE accepted >= $1::date AND accepted < $1::date + 1 GROUP BY scale"), {day});
    // The count of refused entries the scale last reported in its log, for a scale that does
    // not report its backlog with its pushes.
    const auto refused = valueByScale(db, QStringLiteral(
        "SELECT DISTINCT ON (scale) scale, data->>'newvalue' FROM central.events "
        "WHERE tbl = 'Events' AND data->>'kind' = $1 ORDER BY scale, data->>'time' DESC"), {event_kind::CentralRefused});
    // Findings after the scale's last acknowledgement are open.
    const auto findings = valueByScale(db, QStringLiteral(
        "SELECT e.scale, count(*) FROM central.events e WHERE e.tbl = 'Events' AND e.data->>'kind' = $1 "
        "AND e.data->>'time' > coalesce((SELECT max(a.data->>'time') FROM central.events a WHERE a.scale = e.scale "
        "AND a.tbl = 'Events' AND a.data->>'kind' = $2), '') GROUP BY e.scale"),
        {event_kind::IntegrityFinding, event_kind::FindingAcknowledged});
    QList<ScaleLine> lines;
    for (int i = 0; i < scales.rows(); ++i) {
        ScaleLine line{scales.text(i, 0), scales.text(i, 1),
                       scales.isNull(i, 3) ? refused.value(scales.text(i, 0)) : scales.text(i, 3),
                       scales.text(i, 2), scales.text(i, 4), findings.value(scales.text(i, 0)).toLongLong(), 0, 0};
        for (int t = 0; t < todays.rows(); ++t)
            if (todays.text(t, 0) == line.name) {
                line.wagonsToday = todays.text(t, 1).toLongLong();
                line.netToday = todays.text(t, 2).toLongLong();
            }
        lines.append(line);
    }
    return lines;
}

QList<ChartSeries> chartSeries(central::PgConnection& db, const QList<ScaleLine>& lines, const QDate& first, const QDate& last) {
    const central::PgResult r = db.exec(QStringLiteral(
        "SELECT scale, to_char(accepted::date, 'YYYY-MM-DD'), coalesce(sum(net), 0) FROM central.office_book "
        "WHERE accepted >= $1::date AND accepted < $2::date + 1 GROUP BY 1, 2"),
        {first.toString(Qt::ISODate), last.toString(Qt::ISODate)});
    QList<ChartSeries> series;
    for (const ScaleLine& line : lines) {
        ChartSeries s{line.name, {}};
        for (int i = 0; i < r.rows(); ++i)
            if (r.text(i, 0) == line.name) s.netByDay.insert(QDate::fromString(r.text(i, 1), Qt::ISODate), r.text(i, 2).toLongLong());
        series.append(s);
    }
    return series;
}

// "37 на 10.12.2026 11:58:00", or "не сообщается" for a scale that never reported it.
QString backlogCell(const ScaleLine& l) {
    if (l.waiting.isNull()) return QStringLiteral("<td class=\"note\">не сообщается</td>");
    return QStringLiteral("<td class=\"n\">%1 <span class=\"note\">на %2</span></td>").arg(esc(l.waiting), esc(shownTime(l.reportedAt)));
}

QString lineRow(const ScaleLine& l, const QDate& today) {
    const QString day = today.toString(Qt::ISODate);
    const QString findings = l.openFindings > 0
        ? QStringLiteral("<a class=\"error\" href=\"/integrity\">%1</a>").arg(l.openFindings)
        : QStringLiteral("0");
    return QStringLiteral("<tr><td><a href=\"/book%1\">%2</a></td><td>%3</td>%9"
                          "<td class=\"n\">%4</td><td class=\"n\">%5</td><td class=\"n\"><a href=\"/trains%6\">%7</a></td>"
                          "<td class=\"n\">%8</td></tr>\n")
        .arg(esc(queryString({{QStringLiteral("scale"), l.name}})), esc(l.name), esc(shownTime(l.lastContact)),
             l.refused.isEmpty() ? QStringLiteral("0") : esc(l.refused), findings,
             esc(queryString({{QStringLiteral("scale"), l.name}, {QStringLiteral("date"), day}})), QString::number(l.wagonsToday),
             tonnes(l.netToday), backlogCell(l));
}

}  // namespace

Response overviewPage(const PageContext& c) {
    const QDate today = c.now.date();
    QString body;
    c.db.with([&](central::PgConnection& db) {
        const QList<ScaleLine> lines = scaleLines(db, today);
        if (lines.isEmpty()) {
            body = QStringLiteral("<p>Ни одни весы еще ничего не передали в центральную базу.</p>");
            return;
        }
        QString rows;
        qint64 wagons = 0, net = 0;
        for (const ScaleLine& l : lines) {
            rows += lineRow(l, today);
            wagons += l.wagonsToday;
            net += l.netToday;
        }
        body = QStringLiteral(
                   "<table class=\"scales\"><thead><tr><th>Весы</th><th>Последняя связь</th><th>Очередь отправки</th>"
                   "<th class=\"n\">Отклонено сервером</th><th class=\"n\">Открытые нарушения</th>"
                   "<th class=\"n\">Вагонов за %1</th><th class=\"n\">Нетто за %1, т</th></tr></thead><tbody>%2</tbody>"
                   "<tfoot><tr><td colspan=\"5\">Итого</td><td class=\"n\">%3</td><td class=\"n\">%4</td></tr></tfoot></table>"
                   "<p class=\"note\">Очередь отправки — записи, которые ждали отправки на весах после их последней "
                   "передачи; весы сообщают ее с каждой передачей.</p>")
                   .arg(today.toString(QStringLiteral("dd.MM.yyyy")), rows)
                   .arg(wagons)
                   .arg(tonnes(net));
        const QDate first = today.addDays(-29);
        body += QStringLiteral("<h2>Нетто по дням за 30 дней, т</h2>") + netTonnageChart(chartSeries(db, lines, first, today), first, today);
    });
    return htmlPage(QStringLiteral("Обзор весов"), body, c.session);
}

}  // namespace zv::office
