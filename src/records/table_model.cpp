#include "records/table_model.h"

#include "records/date_time_text.h"
#include "records/table.h"
#include "records/table_error.h"

namespace zv {

TableModel::TableModel(Table& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
    QList<GridColumn> columns;
    for (const FieldDef& field : table_.def().fields) {
        if (field.hidden) continue;
        GridColumn column;
        column.field = field.name;
        columns.append(column);
    }
    setColumns(columns);
    connect(&table_, &Table::rowsChanged, this, [this] {
        if (attached_) reload();
    });
    connect(&table_, &Table::currentChanged, this, [this] {
        if (attached_) onCurrentChanged();
    });
}

void TableModel::setColumns(const QList<GridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    visible_ = visibleColumns();
    endResetModel();
    if (attached_) reload();
}

void TableModel::setColumnVisible(const QString& field, bool visible) {
    QList<GridColumn> columns = columns_;
    for (GridColumn& c : columns)
        if (c.field == field) c.visible = visible;
    setColumns(columns);
}

void TableModel::setColumnReadOnly(const QString& field, bool readOnly) {
    for (GridColumn& c : columns_)
        if (c.field == field) c.readOnly = readOnly;
}

QList<int> TableModel::visibleColumns() const {
    QList<int> result;
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].visible) result.append(i);
    return result;
}

QString TableModel::fieldAt(int column) const { return columns_[visible_[column]].field; }

void TableModel::detach() { attached_ = false; }

void TableModel::attach() {
    attached_ = true;
    reload();
}

void TableModel::reload() {
    const bool inserting = table_.state() == Table::State::Insert;
    QList<Row> rows = table_.isOpen() ? table_.readFilteredRows() : QList<Row>();
    if (inserting == inserting_ && sameRows(rows)) {
        // Only values changed (a posted edit): keep the view's cursor and an open editor.
        rows_ = std::move(rows);
        if (!rows_.isEmpty()) emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, columnCount() - 1));
        onCurrentChanged();
        return;
    }
    if (inserting == inserting_ && sameRowSet(rows)) {
        reorder(std::move(rows));
        onCurrentChanged();
        return;
    }
    beginResetModel();
    rows_ = std::move(rows);
    indexRows();
    inserting_ = inserting;
    endResetModel();
    onCurrentChanged();
}

void TableModel::indexRows() {
    rowById_.clear();
    for (int i = 0; i < rows_.size(); ++i) rowById_.insert(rows_[i].rowId(), i);
}

bool TableModel::sameRowSet(const QList<Row>& rows) const {
    if (rows.size() != rows_.size()) return false;
    for (const Row& row : rows)
        if (!rowById_.contains(row.rowId())) return false;
    return true;
}

// A changed key moves its row: the views keep their cursor and an open editor on it.
void TableModel::reorder(QList<Row> rows) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QList<qint64> ids;
    for (const QModelIndex& index : before)
        ids.append(isInsertRow(index.row()) ? -1 : rows_[index.row()].rowId());
    rows_ = std::move(rows);
    indexRows();
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i) {
        const int row = ids[i] < 0 ? static_cast<int>(rows_.size()) : rowById_.value(ids[i], -1);
        after.append(row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

bool TableModel::sameRows(const QList<Row>& rows) const {
    if (rows.size() != rows_.size()) return false;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].rowId() != rows_[i].rowId()) return false;
    return true;
}

void TableModel::onCurrentChanged() {
    if (inserting_ != (table_.state() == Table::State::Insert)) return reload();
    if (inserting_) emit dataChanged(index(static_cast<int>(rows_.size()), 0), index(static_cast<int>(rows_.size()), columnCount() - 1));
    emit currentRowChanged(currentRow());
}

int TableModel::currentRow() const {
    if (inserting_) return static_cast<int>(rows_.size());
    if (!table_.isOpen() || !table_.hasCurrentRow()) return -1;
    return rowById_.value(table_.currentRow().rowId(), -1);
}

const Row& TableModel::rowAt(int row) const { return isInsertRow(row) ? table_.currentRow() : rows_[row]; }

void TableModel::setCurrentRow(int row) {
    if (row >= 0 && row < rows_.size() && !isInsertRow(row)) table_.locateRowId(rows_[row].rowId());
}

QString TableModel::currentText(const QString& field) const {
    if (!table_.isOpen()) return {};
    return table_.text(field);
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size()) + (inserting_ ? 1 : 0);
}

int TableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(visible_.size()); }

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const Row& row = rowAt(index.row());
    const QString field = fieldAt(index.column());
    return role == Qt::EditRole ? editText(row, field) : table_.displayText(row, field);
}

// What a cell editor starts with: the stored value itself, not its display text (units,
// rounding to a step, minutes only), so that it reads back as exactly that value.
QString TableModel::editText(const Row& row, const QString& field) const {
    const FieldDef& def = table_.def().field(field);
    if (!def.isStored()) return table_.displayText(row, field);
    const QVariant value = row.value(def.name);
    if (value.isNull()) return {};
    if (def.type == FieldType::DateTime) return dateTimeToEditText(value.toDateTime());
    return value.toString();
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn& column = columns_[visible_[section]];
    return column.heading.isEmpty() ? table_.def().field(column.field).displayLabel() : column.heading;
}

bool TableModel::isEditable(const GridColumn& column, const Row& row) const {
    const FieldDef& field = table_.def().field(column.field);
    if (column.readOnly || field.readOnly || !field.isStored()) return false;
    return !column.editableWhen || column.editableWhen(row);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (isEditable(columns_[visible_[index.column()]], rowAt(index.row()))) result |= Qt::ItemIsEditable;
    return result;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    // An editor left as it was opened writes nothing: the stored value stays exactly as it is.
    if (value.toString() == data(index, Qt::EditRole).toString()) return true;
    const QString field = fieldAt(index.column());
    try {
        if (isInsertRow(index.row())) {  // the new row is posted when the cursor leaves it
            table_.setValue(field, value);
            return true;
        }
        // Reaching the row posts a pending new row first; a refused one stays as it was.
        if (!table_.locateRowId(rows_[index.row()].rowId())) return false;
    } catch (const TableError& error) {
        emit editFailed(error.message());
        return false;
    }
    try {
        table_.edit();
        table_.setValue(field, value);
        table_.post();
        return true;
    } catch (const TableError& error) {
        table_.cancel();
        emit editFailed(error.message());
        return false;
    }
}

}  // namespace zv
