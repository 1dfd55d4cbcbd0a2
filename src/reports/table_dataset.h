#pragma once

#include <QList>

#include "records/row.h"
#include "reports/report_dataset.h"

namespace zv {

class BookDictionaries;
class Table;

// A report's view of a records table: the rows that pass the table's filter when the
// report starts (derived and lookup fields filled), or only the table's current row.
// The table's own cursor is left where it was.
class TableDataset : public ReportDataset {
  public:
    static TableDataset filteredRows(const Table& table);
    static TableDataset currentRow(const Table& table);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Looks the names of the rows up again, in these dictionaries.
    void fillNames(const BookDictionaries& dictionaries);

    QString tableName() const override;
    bool hasField(const QString& field) const override;
    bool first() override;
    bool next() override;
    QVariant value(const QString& field) const override;
    QString displayText(const QString& field) const override;

  private:
    TableDataset(const Table& table, QList<Row> rows);
    bool onRow() const { return current_ < rows_.size(); }

    const Table* table_;
    QList<Row> rows_;
    qsizetype current_ = 0;
};

}  // namespace zv
