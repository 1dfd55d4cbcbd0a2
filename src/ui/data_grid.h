#pragma once

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QPersistentModelIndex>
#include <QTableView>

namespace zv {

class TableModel;

// A grid bound to a table through its data link. The table's cursor follows the row the
// operator selects, by mouse or by keyboard, and the grid follows the cursor. A move the
// table refuses (a new row without its key, a duplicate key) is shown once and the grid
// stays on the refused row for correction. Columns are kept wide enough for their text.
class DataGrid : public QTableView {
    Q_OBJECT
  public:
    explicit DataGrid(QWidget* parent = nullptr);

    // Shows `link`, through `shown` when given: a proxy over `link` with the same rows and
    // columns (colours, fonts). nullptr unbinds the grid.
    void bind(TableModel* link, QAbstractItemModel* shown = nullptr);
    TableModel* link() const { return link_; }

    // A column of `field` is never narrower than `width`, whatever it shows.
    void setMinimumColumnWidth(const QString& field, int width);

    bool isEditing() const;
    // Writes an open editor's text into the table and closes it, as leaving the cell does.
    void commitEdit();
    // Closes an open editor and forgets what was typed into it.
    void discardEdit();

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void onCurrentRowChanged(const QModelIndex& current);
    void followCursor();
    void fitColumns();
    QWidget* openEditor() const;

    TableModel* link_ = nullptr;
    QList<QMetaObject::Connection> connections_;
    QHash<QString, int> minimumWidths_;
    QPersistentModelIndex editing_;
    bool following_ = false;
    bool fitPending_ = false;
};

}  // namespace zv
