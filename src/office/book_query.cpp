#include "office/book_query.h"

#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

namespace {

struct SortKey {
    const char* key;
    const char* expression;
};

// The columns a book may be sorted by: the URL names one, never the SQL.
const SortKey kSortKeys[] = {
    {"accepted", "ob.accepted"}, {"released", "ob.released"}, {"wagon", "ob.wagon"}, {"gross", "ob.gross"},
    {"tare", "ob.tare"},         {"net", "ob.net"},           {"client", "ob.client"}, {"load", "ob.load"},
    {"station", "ob.station"},   {"scale", "ob.scale"},       {"n", "ob.n"},
};

const char* sortExpression(const QString& key) {
    for (const SortKey& k : kSortKeys)
        if (key == QLatin1String(k.key)) return k.expression;
    return nullptr;
}

const QString kSelect = QStringLiteral(
    "SELECT ob.scale, ob.n, ob.wagon, to_char(ob.accepted, 'YYYY-MM-DD HH24:MI:SS'), "
    "to_char(ob.released, 'YYYY-MM-DD HH24:MI:SS'), ob.gross, ob.tare, ob.net, ob.load, ob.station, ob.client, "
    "b.dir, ob.doc, ob.note ");
const QString kFrom = QStringLiteral(
    "FROM central.office_book ob JOIN central.book b ON b.scale = ob.scale AND b.month = ob.month AND b.n = ob.n ");

}  // namespace

QString bookRowsSql(const QString& moreColumns) {
    return kSelect + (moreColumns.isEmpty() ? QString() : QStringLiteral(", ") + moreColumns + u' ') + kFrom;
}

QString bookColumnTitle(int column) {
    static const QStringList titles = {
        QStringLiteral("Весы"),    QStringLiteral("№"),       QStringLiteral("Вагон"),   QStringLiteral("Принят"),
        QStringLiteral("Отпущен"), QStringLiteral("Брутто, кг"), QStringLiteral("Тара, кг"), QStringLiteral("Нетто, кг"),
        QStringLiteral("Груз"),    QStringLiteral("Станция"), QStringLiteral("Клиент"),  QStringLiteral("Направление"),
        QStringLiteral("Документ"), QStringLiteral("Примечание")};
    return titles.value(column);
}

QString directionText(const QString& code) {
    static const QStringList texts = {QStringLiteral("Ввоз"), QStringLiteral("Вывоз"), QStringLiteral("Транзит")};
    bool ok = false;
    const int i = code.toInt(&ok);
    return ok ? texts.value(i) : QString();
}

BookFilter BookFilter::fromRequest(const Request& r, const QDate& today) {
    BookFilter f;
    f.scale = r.arg(QStringLiteral("scale"));
    f.wagon = r.arg(QStringLiteral("wagon")).trimmed();
    f.client = r.arg(QStringLiteral("client")).trimmed();
    f.load = r.arg(QStringLiteral("load")).trimmed();
    f.station = r.arg(QStringLiteral("station")).trimmed();
    f.direction = r.arg(QStringLiteral("dir"));
    if (!f.direction.isEmpty() && directionText(f.direction).isEmpty()) {
        f.problems.append(QStringLiteral("Направление «%1» не понято").arg(f.direction));
        f.direction.clear();
    }
    f.month = monthArg(r, QStringLiteral("month"), f.problems);
    f.from = dateArg(r, QStringLiteral("from"), f.problems);
    f.to = dateArg(r, QStringLiteral("to"), f.problems);
    // Without a month and without dates the book opens at this month; so does a month or a
    // date it cannot read, as the page's own links (which leave such values out) open it.
    if (!f.month.isValid() && !f.from.isValid() && !f.to.isValid()) f.month = QDate(today.year(), today.month(), 1);
    const QString sort = r.arg(QStringLiteral("sort"));
    if (sortExpression(sort)) f.sort = sort;
    f.descending = r.arg(QStringLiteral("desc")) == QStringLiteral("1");
    f.page = std::max(1, r.arg(QStringLiteral("page")).toInt());
    f.all = r.arg(QStringLiteral("all")) == QStringLiteral("1");
    return f;
}

QString BookFilter::query(const QString& sortKey, bool desc, int pageNumber, bool allRows) const {
    const QString s = sortKey.isEmpty() ? sort : sortKey;
    const bool d = sortKey.isEmpty() ? descending : desc;
    const int p = pageNumber > 0 ? pageNumber : 1;
    return queryString({{QStringLiteral("scale"), scale},
                        {QStringLiteral("month"), month.isValid() ? month.toString(QStringLiteral("yyyy-MM")) : QString()},
                        {QStringLiteral("wagon"), wagon},
                        {QStringLiteral("client"), client},
                        {QStringLiteral("load"), load},
                        {QStringLiteral("station"), station},
                        {QStringLiteral("dir"), direction},
                        {QStringLiteral("from"), from.isValid() ? from.toString(Qt::ISODate) : QString()},
                        {QStringLiteral("to"), to.isValid() ? to.toString(Qt::ISODate) : QString()},
                        {QStringLiteral("sort"), s == QStringLiteral("accepted") ? QString() : s},
                        {QStringLiteral("desc"), d ? QStringLiteral("1") : QString()},
                        {QStringLiteral("page"), p > 1 && !allRows ? QString::number(p) : QString()},
                        {QStringLiteral("all"), allRows ? QStringLiteral("1") : QString()}});
}

QString BookFilter::description() const {
    QStringList parts;
    parts.append(QStringLiteral("весы: %1").arg(scale.isEmpty() ? QStringLiteral("все") : scale));
    if (month.isValid()) parts.append(QStringLiteral("месяц: %1").arg(month.toString(QStringLiteral("MM.yyyy"))));
    if (from.isValid()) parts.append(QStringLiteral("с %1").arg(from.toString(QStringLiteral("dd.MM.yyyy"))));
    if (to.isValid()) parts.append(QStringLiteral("по %1").arg(to.toString(QStringLiteral("dd.MM.yyyy"))));
    if (!wagon.isEmpty()) parts.append(QStringLiteral("вагон: %1").arg(wagon));
    if (!client.isEmpty()) parts.append(QStringLiteral("клиент: %1").arg(client));
    if (!load.isEmpty()) parts.append(QStringLiteral("груз: %1").arg(load));
    if (!station.isEmpty()) parts.append(QStringLiteral("станция: %1").arg(station));
    if (!direction.isEmpty()) parts.append(QStringLiteral("направление: %1").arg(directionText(direction)));
    return parts.join(QStringLiteral("; "));
}

QString BookQuery::where(QStringList& p) const {
    // Letter case is folded by ICU's rules, whatever the database's locale: "ромаш" finds "Ромашка".
    QStringList terms = {QStringLiteral("true")};
    const auto bind = [&](const QString& value) {
        p.append(value);
        return QStringLiteral("$%1").arg(p.size());
    };
    const auto contains = [&](const char* column, const QString& part) {
        if (!part.isEmpty())
            terms.append(QStringLiteral("strpos(lower(coalesce(%1, '') COLLATE \"und-x-icu\"), lower(%2 COLLATE \"und-x-icu\")) > 0")
                             .arg(QLatin1String(column), bind(part)));
    };
    if (!filter_.scale.isEmpty()) terms.append(QStringLiteral("ob.scale = %1").arg(bind(filter_.scale)));
    if (filter_.month.isValid()) terms.append(QStringLiteral("ob.month = %1::date").arg(bind(filter_.month.toString(Qt::ISODate))));
    if (filter_.from.isValid()) terms.append(QStringLiteral("ob.accepted >= %1::date").arg(bind(filter_.from.toString(Qt::ISODate))));
    if (filter_.to.isValid()) terms.append(QStringLiteral("ob.accepted < %1::date + 1").arg(bind(filter_.to.toString(Qt::ISODate))));
    contains("ob.wagon", filter_.wagon);
    contains("ob.client", filter_.client);
    contains("ob.load", filter_.load);
    contains("ob.station", filter_.station);
    if (!filter_.direction.isEmpty()) terms.append(QStringLiteral("b.dir = %1::integer").arg(bind(filter_.direction)));
    return QStringLiteral("WHERE ") + terms.join(QStringLiteral(" AND ")) + u' ';
}

QString BookQuery::order() const {
    return QStringLiteral("ORDER BY %1 %2 NULLS LAST, ob.scale, ob.month, ob.n ")
        .arg(QLatin1String(sortExpression(filter_.sort)), filter_.descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
}

central::PgResult BookQuery::page() {
    QStringList p;
    const QString w = where(p);
    const QString limit = filter_.all ? QStringLiteral("LIMIT %1").arg(kPrintRows + 1)
                                      : QStringLiteral("LIMIT %1 OFFSET %2").arg(kPageRows).arg(qint64(filter_.page - 1) * kPageRows);
    return db_.exec(kSelect + kFrom + w + order() + limit, p);
}

BookTotals BookQuery::totals() {
    QStringList p;
    const QString w = where(p);
    const central::PgResult r = db_.exec(
        QStringLiteral("SELECT count(*), coalesce(sum(ob.gross), 0), coalesce(sum(ob.tare), 0), coalesce(sum(ob.net), 0) ") +
            kFrom + w,
        p);
    return {r.text(0, 0).toLongLong(), r.text(0, 1).toLongLong(), r.text(0, 2).toLongLong(), r.text(0, 3).toLongLong()};
}

QList<GroupTotals> BookQuery::totalsBy(const QString& column) {
    if (column != QStringLiteral("client") && column != QStringLiteral("load") && column != QStringLiteral("station")) return {};
    QStringList p;
    const QString w = where(p);
    const central::PgResult r = db_.exec(
        QStringLiteral("SELECT ob.%1, count(*), coalesce(sum(ob.gross), 0), coalesce(sum(ob.tare), 0), coalesce(sum(ob.net), 0) ")
                .arg(column) +
            kFrom + w + QStringLiteral("GROUP BY 1 ORDER BY 1 NULLS LAST"),
        p);
    QList<GroupTotals> groups;
    for (int i = 0; i < r.rows(); ++i)
        groups.append({r.text(i, 0), {r.text(i, 1).toLongLong(), r.text(i, 2).toLongLong(), r.text(i, 3).toLongLong(),
                                      r.text(i, 4).toLongLong()}});
    return groups;
}

void BookQuery::forEachRow(qint64 limit, const std::function<void(const central::PgResult&, int row)>& visit) {
    QStringList p;
    const QString w = where(p);
    db_.transaction([&] {
        db_.exec(QStringLiteral("DECLARE book_rows NO SCROLL CURSOR FOR ") + kSelect + kFrom + w + order() +
                     QStringLiteral("LIMIT %1").arg(limit),
                 p);
        for (;;) {
            const central::PgResult batch = db_.exec(QStringLiteral("FETCH 2000 FROM book_rows"));
            for (int i = 0; i < batch.rows(); ++i) visit(batch, i);
            if (batch.rows() < 2000) break;
        }
        db_.exec(QStringLiteral("CLOSE book_rows"));
    });
}

}  // namespace zv::office
