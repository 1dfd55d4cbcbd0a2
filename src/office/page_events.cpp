#include "integrity/event_kinds.h"
#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

namespace {

constexpr int kEventRows = 200;

QString eventRows(const central::PgResult& r, int limit) {
    QString rows;
    for (int i = 0; i < std::min(r.rows(), limit); ++i) {
        rows += QStringLiteral("<tr>");
        for (int col = 0; col < r.columns(); ++col)
            rows += QStringLiteral("<td>%1</td>").arg(esc(col == 1 ? shownTime(r.text(i, col)) : r.text(i, col)));
        rows += QStringLiteral("</tr>\n");
    }
    return rows;
}

}  // namespace

// The columns of an event as the event pages show them: scale, time, operator, kind, subject, old, new.
QString eventColumnsSql() {
    return QStringLiteral(
        "SELECT scale, data->>'time', data->>'operator', data->>'kind', data->>'subject', data->>'oldvalue', data->>'newvalue' "
        "FROM central.events ");
}

QString eventTable(const central::PgResult& r, int limit) {
    return QStringLiteral("<table class=\"events\"><thead><tr><th>Весы</th><th>Время</th><th>Оператор</th><th>Событие</th>"
                          "<th>Объект</th><th>Было</th><th>Стало</th></tr></thead><tbody>") +
           eventRows(r, limit) + QStringLiteral("</tbody></table>");
}

Response eventsPage(const PageContext& c) {
    QStringList problems;
    const QString scale = c.request.arg(QStringLiteral("scale"));
    const QString kind = c.request.arg(QStringLiteral("kind"));
    const QDate from = dateArg(c.request, QStringLiteral("from"), problems);
    const QDate to = dateArg(c.request, QStringLiteral("to"), problems);
    const int pageNumber = std::max(1, c.request.arg(QStringLiteral("page")).toInt());
    QString body;
    c.db.with([&](central::PgConnection& db) {
        body = QStringLiteral("<form class=\"filter\" method=\"get\" action=\"/events\">") +
               selectField(QStringLiteral("scale"), QStringLiteral("Весы"), scaleNames(db), scale, QStringLiteral("все весы")) +
               selectField(QStringLiteral("kind"), QStringLiteral("Событие"), event_kind::all(), kind, QStringLiteral("любое")) +
               inputField(QStringLiteral("from"), QStringLiteral("С"), from.isValid() ? from.toString(Qt::ISODate) : QString(), QStringLiteral("date")) +
               inputField(QStringLiteral("to"), QStringLiteral("По"), to.isValid() ? to.toString(Qt::ISODate) : QString(), QStringLiteral("date")) +
               QStringLiteral("<button type=\"submit\">Показать</button></form>") + problemsBlock(problems);
        QStringList p;
        QString where = QStringLiteral("WHERE tbl = 'Events' ");
        const auto bind = [&](const QString& v) {
            p.append(v);
            return QStringLiteral("$%1").arg(p.size());
        };
        if (!scale.isEmpty()) where += QStringLiteral("AND scale = %1 ").arg(bind(scale));
        if (!kind.isEmpty()) where += QStringLiteral("AND data->>'kind' = %1 ").arg(bind(kind));
        // The log's times are text "yyyy-MM-dd hh:mm:ss.zzz": the day's text compares in order.
        if (from.isValid()) where += QStringLiteral("AND data->>'time' >= %1 ").arg(bind(from.toString(Qt::ISODate)));
        if (to.isValid()) where += QStringLiteral("AND data->>'time' < %1 ").arg(bind(to.addDays(1).toString(Qt::ISODate)));
        const central::PgResult r = db.exec(eventColumnsSql() + where +
                                                QStringLiteral("ORDER BY data->>'time' DESC, scale LIMIT %1 OFFSET %2")
                                                    .arg(kEventRows + 1)
                                                    .arg(qint64(pageNumber - 1) * kEventRows),
                                            p);
        body += eventTable(r, kEventRows);
        const QList<QPair<QString, QString>> filter = {{QStringLiteral("scale"), scale}, {QStringLiteral("kind"), kind},
                                                       {QStringLiteral("from"), c.request.arg(QStringLiteral("from"))},
                                                       {QStringLiteral("to"), c.request.arg(QStringLiteral("to"))}};
        QString pages;
        if (pageNumber > 1)
            pages += QStringLiteral("<a href=\"/events%1\">← новее</a>").arg(esc(queryString(filter + QList<QPair<QString, QString>>{{QStringLiteral("page"), QString::number(pageNumber - 1)}})));
        if (r.rows() > kEventRows)
            pages += QStringLiteral("<a href=\"/events%1\">старше →</a>").arg(esc(queryString(filter + QList<QPair<QString, QString>>{{QStringLiteral("page"), QString::number(pageNumber + 1)}})));
        if (!pages.isEmpty()) body += QStringLiteral("<p class=\"pages\">%1</p>").arg(pages);
    });
    return htmlPage(QStringLiteral("Журнал событий"), body, c.session);
}

}  // namespace zv::office
