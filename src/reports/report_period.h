#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zv {

class ReportDataset;

// The time a report covers: printed under its title and put into the name its file is
// proposed to be saved under.
struct ReportPeriod {
    std::optional<QDateTime> from;
    std::optional<QDateTime> to;
    QString month;  // "03.2026": a book's month, for a report no bound narrows

    // "Период: с 05.03.2026 08:00 по 31.03.2026 23:59", "Период: весь месяц 03.2026".
    QString text() const;
    // "05.03.2026-31.03.2026", "05.03.2026" for one day, "с 05.03.2026", "03.2026"; empty
    // when nothing is known.
    QString fileTag() const;
};

// "03.2026" of a book file named "Book[03.2026].db"; empty for any other name.
QString bookMonth(const QString& fileName);

// From the first to the last value of the date-time field over the data set's rows; the
// data set is left on its first row.
ReportPeriod periodOfRows(ReportDataset& data, const QString& field);

}  // namespace zv
