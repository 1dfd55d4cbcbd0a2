#include "office/book_query.h"
#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

namespace {

constexpr int kWeighingRows = 1000;

// The book's columns and, from 14 on, the month and the waybill's own fields.
QString weighingsSql() {
    return bookRowsSql(QStringLiteral(
        "to_char(ob.month, 'YYYY-MM-DD'), ob.places, ob.brutd, ob.tared, ob.nettd, ob.accepted_by, ob.released_by"));
}

QString weighingRow(const central::PgResult& r, int i) {
    const auto cell = [&](int c) { return QStringLiteral("<td>%1</td>").arg(esc(r.text(i, c))); };
    const QString copy = queryString({{QStringLiteral("scale"), r.text(i, Scale)}, {QStringLiteral("month"), r.text(i, 14)},
                                      {QStringLiteral("n"), r.text(i, N)}});
    return QStringLiteral("<tr>") + cell(Scale) + QStringLiteral("<td>%1</td><td>%2</td>").arg(esc(shownTime(r.text(i, Accepted))), esc(shownTime(r.text(i, Released)))) +
           numberCell(r.text(i, Gross)) + numberCell(r.text(i, Tare)) + numberCell(r.text(i, Net)) + cell(Load) + cell(Station) +
           cell(Client) + cell(Doc) + QStringLiteral("<td class=\"noprint\"><a href=\"/waybill%1\">накладная (копия)</a></td></tr>\n").arg(esc(copy));
}

// The waybill's own weights, "—" for one not given; nothing when none is.
QString documentWeights(const central::PgResult& r) {
    if (r.isNull(0, 16) && r.isNull(0, 17) && r.isNull(0, 18)) return {};
    QStringList parts;
    for (int c : {16, 17, 18}) parts.append(r.isNull(0, c) ? QStringLiteral("—") : kg(r.text(0, c).toLongLong()));
    return parts.join(QStringLiteral(" / "));
}

QString line(const QString& label, const QString& value) {
    return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>").arg(esc(label), value);
}

}  // namespace

Response wagonPage(const PageContext& c) {
    const QString number = c.request.arg(QStringLiteral("number")).trimmed();
    QString body = QStringLiteral("<form class=\"filter\" method=\"get\" action=\"/wagon\">") +
                   inputField(QStringLiteral("number"), QStringLiteral("Номер вагона"), number) +
                   QStringLiteral("<button type=\"submit\">Найти</button></form>");
    if (!number.isEmpty()) {
        c.db.with([&](central::PgConnection& db) {
            const central::PgResult r = db.exec(
                weighingsSql() + QStringLiteral("WHERE ob.wagon = $1 ORDER BY ob.accepted DESC NULLS LAST LIMIT %1").arg(kWeighingRows + 1),
                {number});
            const int shown = std::min(r.rows(), kWeighingRows);
            body += QStringLiteral("<p>Вагон %1: взвешиваний %2%3</p>")
                        .arg(esc(number), r.rows() > kWeighingRows ? QStringLiteral("больше ") : QString(), QString::number(shown));
            if (r.rows() == 0) return;
            body += QStringLiteral("<table><thead><tr><th>Весы</th><th>Принят</th><th>Отпущен</th><th class=\"n\">Брутто, кг</th>"
                                   "<th class=\"n\">Тара, кг</th><th class=\"n\">Нетто, кг</th><th>Груз</th><th>Станция</th>"
                                   "<th>Клиент</th><th>Документ</th><th class=\"noprint\"></th></tr></thead><tbody>");
            for (int i = 0; i < shown; ++i) body += weighingRow(r, i);
            body += QStringLiteral("</tbody></table>") + limitNotice(r.rows(), kWeighingRows);
        });
    }
    return htmlPage(QStringLiteral("Взвешивания вагона"), body, c.session);
}

// The waybill of one weighing printed again from the central copy: it says so on its face.
Response waybillCopyPage(const PageContext& c) {
    const QString scale = c.request.arg(QStringLiteral("scale"));
    const QString month = c.request.arg(QStringLiteral("month"));
    const QString n = c.request.arg(QStringLiteral("n"));
    QString body;
    int status = 200;
    c.db.with([&](central::PgConnection& db) {
        bool ok = false;
        n.toLongLong(&ok);
        const QDate m = QDate::fromString(month, Qt::ISODate);
        if (!ok || !m.isValid()) {
            status = 404;
            body = QStringLiteral("<p class=\"error\">Такой записи книги нет.</p>");
            return;
        }
        const central::PgResult r = db.exec(weighingsSql() + QStringLiteral("WHERE ob.scale = $1 AND ob.month = $2::date AND ob.n = $3::integer"),
                                            {scale, m.toString(Qt::ISODate), n});
        if (r.rows() == 0) {
            status = 404;
            body = QStringLiteral("<p class=\"error\">Такой записи книги нет.</p>");
            return;
        }
        body = QStringLiteral("<p class=\"copy\">КОПИЯ — напечатано %1 из центральной базы</p>")
                   .arg(c.now.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
        body += QStringLiteral("<table class=\"waybill\">") + line(QStringLiteral("Весы"), esc(r.text(0, Scale))) +
                line(QStringLiteral("Вагон"), esc(r.text(0, Wagon))) + line(QStringLiteral("Документ"), esc(r.text(0, Doc))) +
                line(QStringLiteral("Принят"), esc(shownTime(r.text(0, Accepted))) + u' ' + esc(r.text(0, 19))) +
                line(QStringLiteral("Отпущен"), esc(shownTime(r.text(0, Released))) + u' ' + esc(r.text(0, 20))) +
                line(QStringLiteral("Брутто, кг"), kg(r.text(0, Gross).toLongLong())) +
                line(QStringLiteral("Тара, кг"), r.isNull(0, Tare) ? QString() : kg(r.text(0, Tare).toLongLong())) +
                line(QStringLiteral("Нетто, кг"), r.isNull(0, Net) ? QString() : kg(r.text(0, Net).toLongLong())) +
                line(QStringLiteral("По документу брутто / тара / нетто, кг"), documentWeights(r)) +
                line(QStringLiteral("Мест"), esc(r.text(0, 15))) + line(QStringLiteral("Груз"), esc(r.text(0, Load))) +
                line(QStringLiteral("Станция"), esc(r.text(0, Station))) + line(QStringLiteral("Клиент"), esc(r.text(0, Client))) +
                line(QStringLiteral("Направление"), esc(directionText(r.text(0, Direction)))) +
                line(QStringLiteral("Примечание"), esc(r.text(0, Note))) + QStringLiteral("</table>");
    });
    return htmlPage(QStringLiteral("Весовая накладная (копия)"), body, c.session, status);
}

}  // namespace zv::office
