#pragma once

#include "central/pg_connection.h"
#include "office/http_server.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

namespace zv::office {

// The filter of the book pages and exports, read from the URL so that a page can be
// bookmarked and sent; values the page cannot use are listed in problems and left out.
struct BookFilter {
    QString scale;
    QDate month;       // its first day; invalid: every month
    QString wagon, client, load, station;  // parts of the text, letter case ignored
    QString direction; // "", "0" ввоз, "1" вывоз, "2" транзит
    QDate from, to;    // accepted between, both days included
    QString sort = QStringLiteral("accepted");
    bool descending = false;
    int page = 1;
    bool all = false;  // every row on one page (up to BookQuery::kPrintRows), for printing
    QStringList problems;

    static BookFilter fromRequest(const Request& request, const QDate& today);
    // The URL query of this filter, with another sort or page where given; allRows: with
    // every row on one page.
    QString query(const QString& sortKey = {}, bool desc = false, int pageNumber = 0, bool allRows = false) const;
    // A line for the exported sheet: what was chosen.
    QString description() const;
};

// The columns of a book row, in the order of the SELECT.
enum BookColumn {
    Scale, N, Wagon, Accepted, Released, Gross, Tare, Net, Load, Station, Client, Direction, Doc, Note,
    BookColumnCount
};
QString bookColumnTitle(int column);
// "SELECT <the columns above>[, more] FROM <the book with its direction> " (ob: the office's view).
QString bookRowsSql(const QString& moreColumns = {});
QString directionText(const QString& code);  // "0" -> "Ввоз"

struct BookTotals {
    qint64 rows = 0, gross = 0, tare = 0, net = 0;
};
struct GroupTotals {
    QString name;
    BookTotals totals;
};

class BookQuery {
public:
    BookQuery(central::PgConnection& connection, const BookFilter& filter) : db_(connection), filter_(filter) {}

    static constexpr int kPageRows = 100;
    static constexpr int kPrintRows = 5000;

    // The rows of the filter's page: kPageRows of them, or with all up to kPrintRows and one
    // more, so that the page can say it shows only the first.
    central::PgResult page();
    BookTotals totals();
    // Totals grouped by "client", "load" or "station".
    QList<GroupTotals> totalsBy(const QString& column);
    // Every matching row up to limit, a batch at a time through a cursor, so that an export
    // holds only one batch in memory.
    void forEachRow(qint64 limit, const std::function<void(const central::PgResult&, int row)>& visit);

private:
    QString where(QStringList& parameters) const;
    QString order() const;

    central::PgConnection& db_;
    const BookFilter& filter_;
};

}  // namespace zv::office
