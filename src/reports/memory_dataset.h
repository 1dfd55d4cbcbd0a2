#pragma once

#include <QStringList>
#include <QVariantMap>
#include <vector>

#include "reports/report_dataset.h"

namespace zv {

// Rows held in memory. Display texts are the values written plainly (date-times as
// "dd.mm.yyyy  hh:mm"), so calculated and lookup fields are given as ready texts.
class MemoryDataset : public ReportDataset {
  public:
    MemoryDataset(QString table, QStringList fields);

    // Unknown field names are refused with a ReportError.
    void addRow(const QVariantMap& values);
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Puts the cursor on a row (for a report that prints the current row only).
    void setCurrentRow(int row);

    QString tableName() const override { return table_; }
    bool hasField(const QString& field) const override;
    bool first() override;
    bool next() override;
    QVariant value(const QString& field) const override;
    QString displayText(const QString& field) const override;

  private:
    QString table_;
    QStringList fields_;
    std::vector<QVariantList> rows_;
    int current_ = 0;
};

// The plain display text of a value: empty for null, digits for numbers,
// "dd.mm.yyyy  hh:mm" for a date-time.
QString plainDisplayText(const QVariant& value);

}  // namespace zv
