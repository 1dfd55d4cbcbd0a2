#pragma once

#include "records/row.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

namespace zv {

class Table;

// One column of a grid over a table.
struct GridColumn {
    QString field;
    bool visible = true;
    bool readOnly = false;
    QString heading;  // empty: the field's display label
    std::function<bool(const Row&)> editableWhen;  // per-row rule; empty: always
};

// The data link between a table and its grids: the rows that pass the table's filter, with
// the display texts of the table's handlers, and a last row for a row being inserted.
// While detached it keeps showing what it showed and ignores the table, so bulk changes
// never appear half done; attach() shows the result.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(Table& table, QObject* parent = nullptr);

    Table& table() const { return table_; }
    void setColumns(const QList<GridColumn>& columns);  // default: every field not hidden
    void setColumnVisible(const QString& field, bool visible);
    void setColumnReadOnly(const QString& field, bool readOnly);
    const QList<GridColumn>& columns() const { return columns_; }
    QString fieldAt(int column) const;

    void detach();
    void attach();
    bool isAttached() const { return attached_; }

    int currentRow() const;  // grid row of the table's current row, -1 when none
    void setCurrentRow(int row);  // moves the table's cursor to that grid row
    const Row& rowAt(int row) const;
    QString currentText(const QString& field) const;  // for data-bound labels and edits

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void currentRowChanged(int row);
    void editFailed(const QString& message);  // the table refused a typed value

private:
    void reload();
    // The same rows in the same order as those shown, values aside.
    bool sameRows(const QList<Row>& rows) const;
    bool sameRowSet(const QList<Row>& rows) const;  // the same rows, perhaps in another order
    void reorder(QList<Row> rows);
    void indexRows();
    QString editText(const Row& row, const QString& field) const;
    void onCurrentChanged();
    QList<int> visibleColumns() const;
    bool isEditable(const GridColumn& column, const Row& row) const;
    bool isInsertRow(int row) const { return inserting_ && row == rows_.size(); }

    Table& table_;
    QList<GridColumn> columns_;
    QList<int> visible_;
    QList<Row> rows_;
    QHash<qint64, int> rowById_;
    bool attached_ = true;
    bool inserting_ = false;  // the table holds a new row not yet posted
};

}  // namespace zv
