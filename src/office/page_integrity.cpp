#include "integrity/event_kinds.h"
#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

Response integrityPage(const PageContext& c) {
    QString body = QStringLiteral(
        "<p class=\"warn\">Независимая сверка цепочек записей на сервере пока не ведется: здесь показано то, "
        "о чем сообщили сами весы в своем журнале — опечатывание таблиц, найденные нарушения целостности и их "
        "подтверждения.</p>");
    c.db.with([&](central::PgConnection& db) {
        const central::PgResult summary = db.exec(QStringLiteral(
            "SELECT s.scale, "
            "count(*) FILTER (WHERE e.data->>'kind' = $1), count(*) FILTER (WHERE e.data->>'kind' = $2), "
            "max(e.data->>'time') FILTER (WHERE e.data->>'kind' = $1), max(e.data->>'time') FILTER (WHERE e.data->>'kind' = $2), "
            "max(e.data->>'time') FILTER (WHERE e.data->>'kind' = $3) "
            "FROM central.scales s LEFT JOIN central.events e ON e.scale = s.scale AND e.tbl = 'Events' "
            "GROUP BY s.scale ORDER BY s.scale"),
            {event_kind::IntegrityFinding, event_kind::FindingAcknowledged, event_kind::TableSealed});
        QString rows;
        for (int i = 0; i < summary.rows(); ++i) {
            const QString lastFinding = summary.text(i, 3), lastAck = summary.text(i, 4);
            const bool open = !lastFinding.isEmpty() && lastFinding > lastAck;
            rows += QStringLiteral("<tr><td>%1</td><td class=\"%2\">%3</td><td class=\"n\">%4</td><td>%5</td><td class=\"n\">%6</td>"
                                   "<td>%7</td><td>%8</td></tr>")
                        .arg(esc(summary.text(i, 0)), open ? QStringLiteral("error") : QString(),
                             open ? QStringLiteral("есть неподтвержденные нарушения") : QStringLiteral("нарушений нет"),
                             esc(summary.text(i, 1)), esc(shownTime(lastFinding)), esc(summary.text(i, 2)), esc(shownTime(lastAck)),
                             esc(shownTime(summary.text(i, 5))));
        }
        body += QStringLiteral("<table><thead><tr><th>Весы</th><th>Состояние</th><th class=\"n\">Нарушений</th><th>Последнее</th>"
                               "<th class=\"n\">Подтверждений</th><th>Последнее</th><th>Последнее опечатывание</th></tr></thead>"
                               "<tbody>%1</tbody></table>")
                    .arg(rows);
        const central::PgResult last = db.exec(eventColumnsSql() + QStringLiteral(
            "WHERE tbl = 'Events' AND data->>'kind' IN ($1, $2) ORDER BY data->>'time' DESC LIMIT 50"),
            {event_kind::IntegrityFinding, event_kind::FindingAcknowledged});
        body += QStringLiteral("<h2>Последние нарушения и подтверждения</h2>") + eventTable(last, 50);
    });
    return htmlPage(QStringLiteral("Целостность записей"), body, c.session);
}

}  // namespace zv::office
