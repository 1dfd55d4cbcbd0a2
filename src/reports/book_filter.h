#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace zv {

// The filters of the weighing-book report window that are switched on, with their values.
struct BookFilter {
    // A dictionary row chosen in a lookup box: its key and its text.
    struct Choice {
        int code = 0;
        QString name;
    };

    std::optional<QDateTime> from;  // released after this minute
    std::optional<QDateTime> to;    // released before this minute
    std::optional<Choice> load;
    std::optional<int> direction;  // index of kDirections
    std::optional<Choice> station;
    std::optional<Choice> client;
    std::optional<Choice> operatorName;  // `Names.N` and the name
    std::optional<int> wagon;
    std::optional<int> train;
};

// Items of the direction box, by the code stored in `Book.Dir`.
inline const QStringList kDirections = {QStringLiteral("Ввоз"), QStringLiteral("Вывоз"),
                                        QStringLiteral("Транзит")};

struct BookFilterText {
    QString expression;   // for the table's filter; empty with no filter on
    QString description;  // the report's description line; empty with no filter on
};

BookFilterText bookFilterText(const BookFilter& filter);

// A date-time of a filter piece: 'dd.mm.yyyy hh:mm' in single quotes.
QString quotedDateTime(const QDateTime& value);

}  // namespace zv
