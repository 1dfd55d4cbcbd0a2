#pragma once

#include <QString>
#include <QVariant>

namespace zv {

// The rows a report reads: a cursor over one table, as filtered at the time of the report.
// Field names are the table's own (`Wagon`, `Brut`, `Dir1`); value() gives the stored or
// calculated value (a null QVariant for an empty field), displayText() the text a grid shows.
class ReportDataset {
  public:
    virtual ~ReportDataset() = default;

    virtual QString tableName() const = 0;
    virtual bool hasField(const QString& field) const = 0;

    // Moves to the first row; false when there is none.
    virtual bool first() = 0;
    // Moves to the next row; false when the last row has been passed.
    virtual bool next() = 0;

    virtual QVariant value(const QString& field) const = 0;
    virtual QString displayText(const QString& field) const = 0;
};

}  // namespace zv
