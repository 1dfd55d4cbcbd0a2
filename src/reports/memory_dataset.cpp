#include "reports/memory_dataset.h"

#include <QDateTime>

#include "reports/report_error.h"
#include "reports/report_value.h"

namespace zv {

MemoryDataset::MemoryDataset(QString table, QStringList fields)
    : table_(std::move(table)), fields_(std::move(fields)) {}

void MemoryDataset::addRow(const QVariantMap& values) {
    QVariantList row(fields_.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const auto column = fields_.indexOf(it.key());
        if (column < 0)
            throw ReportError(QStringLiteral("No field %1 in %2").arg(it.key(), table_));
        row[column] = it.value();
    }
    rows_.push_back(std::move(row));
}

void MemoryDataset::setCurrentRow(int row) {
    current_ = row;
}

bool MemoryDataset::hasField(const QString& field) const {
    return fields_.contains(field);
}

bool MemoryDataset::first() {
    current_ = 0;
    return !rows_.empty();
}

bool MemoryDataset::next() {
    ++current_;
    return current_ < rowCount();
}

QVariant MemoryDataset::value(const QString& field) const {
    const auto column = fields_.indexOf(field);
    if (column < 0 || current_ < 0 || current_ >= rowCount()) return {};
    return rows_[current_][column];
}

QString MemoryDataset::displayText(const QString& field) const {
    return plainDisplayText(value(field));
}

QString plainDisplayText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy  hh:mm"));
    if (value.typeId() == QMetaType::Double) return formatPlainNumber(value.toDouble());
    return value.toString();
}

}  // namespace zv
