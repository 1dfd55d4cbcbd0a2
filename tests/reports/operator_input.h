#pragma once

#include <QString>

class QComboBox;
class QDialog;
class QWidget;

namespace zv::test {

// A click at the middle of a visible control.
void clickOn(QWidget* widget);
// Picks the item `text` of a combo box as the operator does: a click opens its list, the
// arrow keys go to the item and Enter takes it.
void pick(QComboBox* box, const QString& text);
// In the open file dialog `dialog` (of `folder`): picks the file type when one is given,
// types `name` over the suggested one and presses Enter.
void answerFileDialog(QDialog& dialog, const QString& folder, const QString& name,
                      const QString& fileType = {});

}  // namespace zv::test
