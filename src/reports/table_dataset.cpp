#include "reports/table_dataset.h"

#include "records/table.h"
#include "reports/book_dictionaries.h"

namespace zv {

TableDataset::TableDataset(const Table& table, QList<Row> rows)
    : table_(&table), rows_(std::move(rows)) {}

TableDataset TableDataset::filteredRows(const Table& table) {
    return TableDataset(table, table.readFilteredRows());
}

TableDataset TableDataset::currentRow(const Table& table) {
    QList<Row> rows;
    if (table.isOpen() && table.hasCurrentRow()) rows.append(table.currentRow());
    return TableDataset(table, rows);
}

void TableDataset::fillNames(const BookDictionaries& dictionaries) {
    dictionaries.fillNames(table_->def(), rows_);
}

QString TableDataset::tableName() const {
    return table_->def().name;
}

bool TableDataset::hasField(const QString& field) const {
    return table_->def().indexOf(field) >= 0;
}

bool TableDataset::first() {
    current_ = 0;
    return onRow();
}

bool TableDataset::next() {
    if (onRow()) ++current_;
    return onRow();
}

QVariant TableDataset::value(const QString& field) const {
    return onRow() ? rows_[current_].value(field) : QVariant();
}

QString TableDataset::displayText(const QString& field) const {
    return onRow() ? table_->displayText(rows_[current_], field) : QString();
}

}  // namespace zv
