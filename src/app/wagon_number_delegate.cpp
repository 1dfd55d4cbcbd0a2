#include "app/wagon_number_delegate.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>

#include "records/table.h"
#include "records/table_model.h"
#include "ui/data_grid.h"
#include "ui/digits_validator.h"
#include "ui/flag_guard.h"
#include "wagon_numbers/wagon_number_questions.h"

namespace {

const QString kWagon = QStringLiteral("Wagon");

}  // namespace

WagonNumberDelegate::WagonNumberDelegate(zv::DataGrid& grid)
    : QStyledItemDelegate(&grid), grid_(grid) {}

bool WagonNumberDelegate::isWagonCell(const QModelIndex& index) const {
    return grid_.link() && index.isValid() && grid_.link()->fieldAt(index.column()) == kWagon;
}

QWidget* WagonNumberDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !isWagonCell(index)) return editor;
    line->setValidator(new zv::DigitsValidator({}, line));
    line->setMaxLength(grid_.link()->table().def().field(kWagon).size);
    editor_ = line;
    editing_ = index;
    return editor;
}

void WagonNumberDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !isWagonCell(index)) return QStyledItemDelegate::setModelData(editor, model, index);
    written_ = false;
    const QString number = line->text();
    if (number == index.data(Qt::EditRole).toString()) {
        written_ = true;  // left as it was: nothing to ask, nothing to write
        return;
    }
    if (!line->hasAcceptableInput() || !mayWrite(number, index)) return;
    written_ = model->setData(index, number, Qt::EditRole);
}

bool WagonNumberDelegate::mayWrite(const QString& number, const QModelIndex& index) const {
    if (number.isEmpty()) return true;
    const zv::Row& row = grid_.link()->rowAt(index.row());
    zv::TypedWagonNumber typed;
    typed.number = number;
    typed.subject = QStringLiteral("Состав %1, %2")
                        .arg(row.toInt(QStringLiteral("Train")))
                        .arg(row.value(QStringLiteral("Time"))
                                 .toDateTime()
                                 .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
    typed.takenByRow = takenByRow(number, index.row());
    // The box takes the focus from the editor: that is not the operator leaving the cell.
    zv::FlagGuard asking(asking_);
    return zv::confirmWagonNumber(typed);
}

int WagonNumberDelegate::takenByRow(const QString& number, int row) const {
    const zv::TableModel& link = *grid_.link();
    const QVariant train = link.rowAt(row).value(QStringLiteral("Train"));
    for (int other = 0; other < link.rowCount(); ++other) {
        if (other == row) continue;
        const zv::Row& candidate = link.rowAt(other);
        if (candidate.value(QStringLiteral("Train")) == train &&
            candidate.value(kWagon).toString() == number)
            return other + 1;
    }
    return 0;
}

bool WagonNumberDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(object);
    if (!line || line != editor_) return QStyledItemDelegate::eventFilter(object, event);
    // An editor the grid let go (its rows or the window went) has nothing left to write.
    if (!editing_.isValid() || grid_.indexWidget(editing_) != line) return false;
    if (asking_ && (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        return false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enter(line);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void WagonNumberDelegate::enter(QLineEdit* editor) {
    const QPersistentModelIndex index = editing_;
    written_ = false;
    emit commitData(editor);
    // Writing may have rebuilt the rows and released the editor already.
    if (!editor_ || grid_.indexWidget(index) != editor) return;
    if (!written_) {
        editor->setFocus();
        editor->selectAll();
        return;
    }
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    editNextWagon(index);
}

void WagonNumberDelegate::editNextWagon(const QModelIndex& from) {
    QAbstractItemModel* model = grid_.model();
    for (int next = from.row() + 1; next < model->rowCount(); ++next) {
        const QModelIndex cell = model->index(next, from.column());
        if (!(model->flags(cell) & Qt::ItemIsEditable)) continue;
        grid_.setCurrentIndex(cell);
        static_cast<QAbstractItemView&>(grid_).edit(cell);  // DataGrid hides the one-argument edit
        return;
    }
}
