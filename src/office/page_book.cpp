#include "office/book_query.h"
#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

namespace {

QString filterForm(const BookFilter& f, const QStringList& scales) {
    return QStringLiteral("<form class=\"filter\" method=\"get\" action=\"/book\">") +
           selectField(QStringLiteral("scale"), QStringLiteral("Весы"), scales, f.scale, QStringLiteral("все весы")) +
           inputField(QStringLiteral("month"), QStringLiteral("Месяц"), f.month.isValid() ? f.month.toString(QStringLiteral("yyyy-MM")) : QString(),
                      QStringLiteral("month")) +
           inputField(QStringLiteral("from"), QStringLiteral("Принят с"), f.from.isValid() ? f.from.toString(Qt::ISODate) : QString(),
                      QStringLiteral("date")) +
           inputField(QStringLiteral("to"), QStringLiteral("по"), f.to.isValid() ? f.to.toString(Qt::ISODate) : QString(),
                      QStringLiteral("date")) +
           inputField(QStringLiteral("wagon"), QStringLiteral("Вагон"), f.wagon) +
           inputField(QStringLiteral("client"), QStringLiteral("Клиент"), f.client) +
           inputField(QStringLiteral("load"), QStringLiteral("Груз"), f.load) +
           inputField(QStringLiteral("station"), QStringLiteral("Станция"), f.station) +
           selectField(QStringLiteral("dir"), QStringLiteral("Направление"), {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")},
                       f.direction, QStringLiteral("любое"), {directionText(QStringLiteral("0")), directionText(QStringLiteral("1")), directionText(QStringLiteral("2"))}) +
           QStringLiteral("<button type=\"submit\">Показать</button></form>");
}

// A heading that sorts by its column; a second click turns the order round.
QString sortHeading(const BookFilter& f, const QString& key, int column, bool number) {
    const bool current = f.sort == key;
    const QString mark = current ? (f.descending ? QStringLiteral(" ▼") : QStringLiteral(" ▲")) : QString();
    return QStringLiteral("<th%1><a href=\"/book%2\">%3%4</a></th>")
        .arg(number ? QStringLiteral(" class=\"n\"") : QString(), esc(f.query(key, current && !f.descending, 0, f.all)),
             esc(bookColumnTitle(column)), mark);
}

QString heading(const BookFilter& f) {
    const auto plain = [](int column) { return QStringLiteral("<th>%1</th>").arg(esc(bookColumnTitle(column))); };
    return QStringLiteral("<thead><tr>") + sortHeading(f, QStringLiteral("scale"), Scale, false) +
           sortHeading(f, QStringLiteral("n"), N, true) + sortHeading(f, QStringLiteral("wagon"), Wagon, false) +
           sortHeading(f, QStringLiteral("accepted"), Accepted, false) + sortHeading(f, QStringLiteral("released"), Released, false) +
           sortHeading(f, QStringLiteral("gross"), Gross, true) + sortHeading(f, QStringLiteral("tare"), Tare, true) +
           sortHeading(f, QStringLiteral("net"), Net, true) + sortHeading(f, QStringLiteral("load"), Load, false) +
           sortHeading(f, QStringLiteral("station"), Station, false) + sortHeading(f, QStringLiteral("client"), Client, false) +
           plain(Direction) + plain(Doc) + plain(Note) + QStringLiteral("</tr></thead>");
}

QString rowHtml(const central::PgResult& r, int i) {
    const auto cell = [&](int c) { return QStringLiteral("<td>%1</td>").arg(esc(r.text(i, c))); };
    const QString wagon = r.text(i, Wagon);
    return QStringLiteral("<tr>") + cell(Scale) + numberCell(r.text(i, N)) +
           QStringLiteral("<td><a href=\"/wagon%1\">%2</a></td>").arg(esc(queryString({{QStringLiteral("number"), wagon}})), esc(wagon)) +
           QStringLiteral("<td class=\"t\">%1</td><td class=\"t\">%2</td>").arg(esc(shownTime(r.text(i, Accepted))), esc(shownTime(r.text(i, Released)))) +
           numberCell(r.text(i, Gross)) + numberCell(r.text(i, Tare)) + numberCell(r.text(i, Net)) + cell(Load) +
           cell(Station) + cell(Client) + QStringLiteral("<td>%1</td>").arg(esc(directionText(r.text(i, Direction)))) +
           cell(Doc) + cell(Note) + QStringLiteral("</tr>\n");
}

QString totalCells(const BookTotals& t) { return numberCell(t.gross) + numberCell(t.tare) + numberCell(t.net); }

QString groupTable(const QString& title, const QList<GroupTotals>& groups) {
    QString rows;
    for (const GroupTotals& g : groups)
        rows += QStringLiteral("<tr><td>%1</td>%2%3</tr>")
                    .arg(g.name.isNull() ? QStringLiteral("<span class=\"note\">не указан</span>") : esc(g.name),
                         numberCell(g.totals.rows), totalCells(g.totals));
    return QStringLiteral(
               "<section class=\"group\"><h2>%1</h2><table><thead><tr><th>%1</th><th class=\"n\">Вагонов</th>"
               "<th class=\"n\">Брутто, кг</th><th class=\"n\">Тара, кг</th><th class=\"n\">Нетто, кг</th></tr></thead>"
               "<tbody>%2</tbody></table></section>")
        .arg(esc(title), rows);
}

// The pages of the book, and a way to every row at once: a printed page is a whole report.
QString pager(const BookFilter& f, qint64 rows) {
    const qint64 pages = std::max<qint64>(1, (rows + BookQuery::kPageRows - 1) / BookQuery::kPageRows);
    if (pages == 1) return {};
    if (f.all) {
        return QStringLiteral("<p class=\"pages\"><a href=\"/book%1\">по %2 строк на странице</a></p>")
            .arg(esc(f.query({}, false, 1)))
            .arg(BookQuery::kPageRows);
    }
    QString out = QStringLiteral("<p class=\"pages\">Страница %1 из %2: ").arg(f.page).arg(pages);
    if (f.page > 1) out += QStringLiteral("<a href=\"/book%1\">← назад</a>").arg(esc(f.query({}, false, f.page - 1)));
    if (f.page < pages) out += QStringLiteral("<a href=\"/book%1\">вперед →</a>").arg(esc(f.query({}, false, f.page + 1)));
    out += QStringLiteral("<a href=\"/book%1\">все строки на одной странице (для печати)</a>").arg(esc(f.query({}, false, 1, true)));
    return out + QStringLiteral("</p>");
}

}  // namespace

Response bookPage(const PageContext& c) {
    const BookFilter f = BookFilter::fromRequest(c.request, c.now.date());
    QString body;
    c.db.with([&](central::PgConnection& db) {
        BookQuery q(db, f);
        const BookTotals totals = q.totals();
        const central::PgResult rows = q.page();
        body = filterForm(f, scaleNames(db)) + problemsBlock(f.problems);
        const QString query = f.query();
        body += QStringLiteral("<p class=\"noprint\"><a href=\"/book.xlsx%1\">Выгрузить в Excel (xlsx)</a> · "
                               "<a href=\"/book.csv%1\">CSV</a></p>")
                    .arg(esc(query));
        body += QStringLiteral("<p class=\"filterline\">%1. Записей: %2</p>").arg(esc(f.description()), QString::number(totals.rows));
        QString tableRows;
        const int shown = f.all ? std::min(rows.rows(), BookQuery::kPrintRows) : rows.rows();
        for (int i = 0; i < shown; ++i) tableRows += rowHtml(rows, i);
        body += QStringLiteral("<table class=\"book\">") + heading(f) + QStringLiteral("<tbody>") + tableRows +
                QStringLiteral("</tbody><tfoot><tr><td colspan=\"5\">Итого: %1 вагонов</td>%2<td colspan=\"6\"></td></tr></tfoot></table>")
                    .arg(totals.rows)
                    .arg(totalCells(totals));
        body += pager(f, totals.rows) + (f.all ? limitNotice(rows.rows(), BookQuery::kPrintRows) : QString());
        body += groupTable(QStringLiteral("Клиент"), q.totalsBy(QStringLiteral("client"))) +
                groupTable(QStringLiteral("Груз"), q.totalsBy(QStringLiteral("load"))) +
                groupTable(QStringLiteral("Станция"), q.totalsBy(QStringLiteral("station")));
    });
    return htmlPage(QStringLiteral("Книга взвешиваний"), body, c.session);
}

}  // namespace zv::office
