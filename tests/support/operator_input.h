#pragma once

#include <QList>
#include <QModelIndex>
#include <QPoint>
#include <QString>
#include <QStringList>

class QAbstractItemView;
class QComboBox;
class QLineEdit;
class QMenuBar;
class QWidget;

namespace zv::test {

// Input as an operator gives it: a mouse click lands on whatever control is visible at that
// point of the window, the keys go to the control that has the focus.

// The control of `window` with this short name; a missing one fails the running test.
QWidget* control(QWidget* window, const char* name);

// The control a click at the visible centre of `control` would reach (what lies on top
// there), or null when that point is outside the window.
QWidget* controlAtCentre(QWidget* control);
// Whether a click at the visible centre reaches `control` itself (or a part of it).
bool clickReaches(QWidget* control);
// Clicks `control` at its visible centre; fails the running test (and clicks nothing) when
// something else lies there.
void click(QWidget* control);
// Clicks (or double-clicks) `target` at the point `at` of it, failing as click() does.
void clickAt(QWidget* target, QPoint at, bool twice = false);
// Clicks into the edit, selects all it holds and types `keys` over it.
void typeInto(QWidget* edit, const QString& keys);
// Opens the list with a click and clicks the item shown as `text`.
void choose(QComboBox* box, const QString& text);
// Clicks through the menu bar: the menu titled path[0], then its items path[1], ... ("&"
// marks are ignored).
void chooseMenu(QMenuBar* bar, const QStringList& path);
// Types `keys` into the control that has the focus, Cyrillic letters as well.
void typeKeys(QWidget* focus, const QString& keys);
// Presses Tab in the window until `control` has the focus; false when the focus went round
// every control without reaching it.
bool tabTo(QWidget* control);

// Clicks the button named `name` among the children of `window`, as click() does.
void press(QWidget* window, const char* name);

// Grids: a click on a cell; a double-click that opens the cell's editor (returned, nullptr when
// none opened); Enter in an editor, once the grid has taken the text; and all three at once,
// typing `text` over what the cell holds.
void clickCell(QAbstractItemView* view, const QModelIndex& index);
QLineEdit* openEditor(QAbstractItemView* view, const QModelIndex& index);
void pressEnter(QWidget* editor);
void typeIntoCell(QAbstractItemView* view, const QModelIndex& index, const QString& text);

// Every visible, enabled control of `window` a click at its centre does not reach, and every
// one Tab does not reach from the control that has the focus, as "name: why" lines.
QStringList unreachableControls(QWidget* window);

}  // namespace zv::test
