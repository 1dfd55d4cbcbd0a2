#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QLineEdit;

namespace zv {
class DataGrid;
}

// The `Вагон` cell of the train list, typed like a spreadsheet: only digits get in, Enter
// writes the number and opens the next wagon's cell for typing, Escape leaves the cell as
// stored. A doubtful number (its control digit, a number another wagon of the train has) is
// asked about before it is written, however the cell is left; refused at Enter, it stays in
// the cell for correction. The other cells are edited as usual.
class WagonNumberDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit WagonNumberDelegate(zv::DataGrid& grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    bool isWagonCell(const QModelIndex& index) const;
    bool mayWrite(const QString& number, const QModelIndex& index) const;
    // The place in the list (from 1) of another wagon of the train with this number, or 0.
    int takenByRow(const QString& number, int row) const;
    void enter(QLineEdit* editor);
    void editNextWagon(const QModelIndex& from);

    zv::DataGrid& grid_;
    mutable QPointer<QLineEdit> editor_;
    mutable QPersistentModelIndex editing_;
    mutable bool asking_ = false;
    mutable bool written_ = false;
};
