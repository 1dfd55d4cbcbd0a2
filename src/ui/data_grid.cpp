#include "ui/data_grid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTimer>
#include <exception>

#include "records/table_model.h"
#include "ui/message_service.h"

namespace zv {

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves a grid for the next control; the arrows move within it. Walking every cell
    // with Tab would leave the controls after a long table out of reach.
    setTabKeyNavigation(false);
}

void DataGrid::bind(TableModel* link, QAbstractItemModel* shown) {
    for (const QMetaObject::Connection& c : connections_) disconnect(c);
    connections_.clear();
    editing_ = QPersistentModelIndex();
    QItemSelectionModel* previous = selectionModel();
    link_ = link;
    setModel(link ? (shown ? shown : static_cast<QAbstractItemModel*>(link)) : nullptr);
    // Binding the model the grid already shows keeps its selection model: only a replaced one goes.
    if (previous != selectionModel()) delete previous;
    if (!link) return;
    connections_ << connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                            [this](const QModelIndex& current) { onCurrentRowChanged(current); });
    connections_ << connect(link, &TableModel::currentRowChanged, this, [this] { followCursor(); });
    const auto fit = [this] { fitColumns(); };
    connections_ << connect(model(), &QAbstractItemModel::modelReset, this, fit);
    connections_ << connect(model(), &QAbstractItemModel::layoutChanged, this, fit);
    connections_ << connect(model(), &QAbstractItemModel::dataChanged, this, fit);
    fitColumns();
    followCursor();
}

void DataGrid::setMinimumColumnWidth(const QString& field, int width) {
    minimumWidths_.insert(field, width);
    fitColumns();
}

// The operator chose another row: the table's cursor goes there. Leaving a row posts its
// pending edit, which the table may refuse; then the cursor, and the grid, stay on it.
void DataGrid::onCurrentRowChanged(const QModelIndex& current) {
    if (following_ || !link_ || !current.isValid() || current.row() == link_->currentRow()) return;
    try {
        link_->setCurrentRow(current.row());
    } catch (const std::exception& e) {
        Messages::error(QString::fromUtf8(e.what()));
    }
    followCursor();
    // A mouse press goes on to select the row under the pointer after this; a posted row may
    // also have moved the others. Show the cursor's row once the event is done.
    QTimer::singleShot(0, this, [this] { followCursor(); });
}

void DataGrid::followCursor() {
    if (!link_ || following_) return;
    const int row = link_->currentRow();
    if (row < 0 || row >= model()->rowCount()) return;
    const QModelIndex now = currentIndex();
    if (now.isValid() && now.row() == row && selectionModel()->isRowSelected(row, {})) return;
    following_ = true;
    const int column = now.isValid() ? now.column() : 0;
    selectionModel()->setCurrentIndex(model()->index(row, column),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    following_ = false;
}

void DataGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (fitPending_) fitColumns();
}

// Only grows a column, so a width the operator chose stays. A hidden grid measures when it
// is shown: then only the rows in sight are measured.
void DataGrid::fitColumns() {
    if (!link_) return;
    if (!isVisible()) {
        fitPending_ = true;
        return;
    }
    fitPending_ = false;
    QHeaderView* header = horizontalHeader();
    for (int column = 0; column < model()->columnCount(); ++column) {
        const int wanted = std::max({minimumWidths_.value(link_->fieldAt(column), 0),
                                     sizeHintForColumn(column), header->sectionSizeHint(column)});
        if (wanted > columnWidth(column)) setColumnWidth(column, wanted);
    }
}

// Only the cursor's row is edited: a row the cursor could not reach (the table kept a refused
// row) gets no editor.
bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (link_ && index.isValid() && index.row() != link_->currentRow()) return false;
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened) editing_ = index;
    return opened;
}

QWidget* DataGrid::openEditor() const {
    return editing_.isValid() ? indexWidget(editing_) : nullptr;
}

bool DataGrid::isEditing() const { return openEditor() != nullptr; }

void DataGrid::commitEdit() {
    QWidget* editor = openEditor();
    if (!editor) return;
    commitData(editor);
    // Writing may have rebuilt the rows and released the editor already.
    if (openEditor() == editor) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DataGrid::discardEdit() {
    if (QWidget* editor = openEditor()) closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

}  // namespace zv
