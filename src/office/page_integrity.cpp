#include "integrity/event_kinds.h"
#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

namespace {

const QString kAbout = QStringLiteral(
    "<p>С каждой отправкой весы передают головы цепочек печатей своих таблиц: номер последней записи цепочки и ее "
    "печать. Сервер хранит их навсегда; изменить или удалить их весы не могут. Ключа печатей у сервера нет, поэтому "
    "пересчитать печати он не может; он видит, засвидетельствована ли одна запись цепочки с разными печатями "
    "(печати переписаны) и не стало ли записей цепочки меньше, чем уже было засвидетельствовано (файл заменен более "
    "старой копией). Записи на весах сверяются с засвидетельствованным при запуске программы и командой "
    "<code>zolvelt-tool check-records --central</code>; найденное весы записывают в журнал, и оно видно ниже.</p>");

// Per scale and file: what was witnessed, the first entry witnessed with two seals, and the
// first time the chain came back shorter than it had been.
const char* const kWitnessSql = R"(
WITH w AS (
  SELECT scale, file, n, head, received_at,
         max(n) OVER (PARTITION BY scale, file ORDER BY received_at, n ROWS BETWEEN UNBOUNDED PRECEDING AND 1 PRECEDING) AS longest_before
  FROM central.witness),
resealed AS (
  SELECT scale, file, min(n) AS n FROM (SELECT scale, file, n FROM central.witness GROUP BY 1, 2, 3 HAVING count(*) > 1) twice
  GROUP BY 1, 2)
SELECT w.scale, w.file, count(*), (array_agg(w.n ORDER BY w.received_at DESC, w.n DESC))[1],
       (array_agg(w.head ORDER BY w.received_at DESC, w.n DESC))[1], to_char(max(w.received_at), 'YYYY-MM-DD HH24:MI:SS'),
       min(r.n), (array_agg(w.longest_before ORDER BY w.received_at) FILTER (WHERE w.n < w.longest_before))[1],
       (array_agg(w.n ORDER BY w.received_at) FILTER (WHERE w.n < w.longest_before))[1]
FROM w LEFT JOIN resealed r ON r.scale = w.scale AND r.file = w.file
GROUP BY w.scale, w.file ORDER BY w.scale, w.file
)";

// "цепочка продолжается" or what the server sees wrong with it.
QString witnessVerdict(const central::PgResult& r, int i) {
    QStringList wrong;
    if (!r.isNull(i, 6))
        wrong.append(QStringLiteral("печати переписаны: запись цепочки %1 засвидетельствована с разными печатями").arg(r.text(i, 6)));
    if (!r.isNull(i, 7))
        wrong.append(QStringLiteral("файл заменен более старой копией: после %1 засвидетельствованных записей цепочки пришло %2").arg(r.text(i, 7), r.text(i, 8)));
    if (wrong.isEmpty()) return QStringLiteral("<td>цепочка продолжается</td>");
    return QStringLiteral("<td class=\"error\">%1</td>").arg(esc(wrong.join(QStringLiteral("; "))));
}

QString witnessTable(central::PgConnection& db) {
    const central::PgResult r = db.exec(QString::fromUtf8(kWitnessSql));
    if (r.rows() == 0) return QStringLiteral("<p class=\"note\">Весы еще не передали ни одной головы цепочки.</p>");
    QString rows;
    for (int i = 0; i < r.rows(); ++i)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td>%3<td class=\"n\">%4</td><td class=\"n\">%5</td><td><code>%6</code></td>"
                               "<td>%7</td></tr>")
                    .arg(esc(r.text(i, 0)), esc(r.text(i, 1)), witnessVerdict(r, i), esc(r.text(i, 2)), esc(r.text(i, 3)),
                         esc(r.text(i, 4).left(16)), esc(shownTime(r.text(i, 5))));
    return QStringLiteral("<table class=\"witness\"><thead><tr><th>Весы</th><th>Файл</th><th>Сверка на сервере</th>"
                          "<th class=\"n\">Засвидетельствовано</th><th class=\"n\">Последняя запись цепочки</th><th>Ее печать</th>"
                          "<th>Получено</th></tr></thead><tbody>%1</tbody></table>")
        .arg(rows);
}

}  // namespace

Response integrityPage(const PageContext& c) {
    QString body = kAbout;
    c.db.with([&](central::PgConnection& db) {
        body += QStringLiteral("<h2>Головы цепочек на сервере</h2>") + witnessTable(db);
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
        body += QStringLiteral("<h2>Что сообщили весы</h2><table><thead><tr><th>Весы</th><th>Состояние</th><th class=\"n\">Нарушений</th><th>Последнее</th>"
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
