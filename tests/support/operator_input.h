#pragma once

#include <QModelIndex>
#include <QString>

class QAbstractItemView;
class QLineEdit;
class QWidget;

// What an operator's mouse and keyboard do, sent as input events at the controls' places on
// screen.
namespace zv::test {

void clickCell(QAbstractItemView* view, const QModelIndex& index);
// Double-clicks the cell as a mouse does it (press, release, double-click, release) and
// returns its editor, nullptr when none opened.
QLineEdit* openEditor(QAbstractItemView* view, const QModelIndex& index);
// Types as a keyboard does, Cyrillic letters too.
void typeText(QWidget* widget, const QString& text);
// Enter in a cell editor: the grid takes the text once the key has been handled.
void pressEnter(QWidget* editor);
// Double-clicks the cell, types `text` over what it holds and presses Enter.
void typeIntoCell(QAbstractItemView* view, const QModelIndex& index, const QString& text);
// Clicks the button named `name` among the children of `window`.
void press(QWidget* window, const char* name);

}  // namespace zv::test
