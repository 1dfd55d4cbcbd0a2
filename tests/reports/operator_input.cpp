#include "reports/operator_input.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace zv::test {

void clickOn(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible() && widget->isEnabled()) << widget->objectName().toStdString();
    QPoint at = widget->rect().center();
    // A check box may be wider than its caption: the operator clicks its box, at the left.
    if (qobject_cast<QCheckBox*>(widget)) at.setX(std::min(8, at.x()));
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void pick(QComboBox* box, const QString& text) {
    ASSERT_NE(box, nullptr);
    const int target = box->findText(text);
    ASSERT_GE(target, 0) << text.toStdString();
    clickOn(box);
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(list->isVisible());
    for (int at = list->currentIndex().row(); at != target; at += at < target ? 1 : -1)
        QTest::keyClick(list, at < target ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(box->currentIndex(), target);
}

void answerFileDialog(QDialog& dialog, const QString& folder, const QString& name,
                      const QString& fileType) {
    auto* files = qobject_cast<QFileDialog*>(&dialog);
    ASSERT_NE(files, nullptr) << dialog.objectName().toStdString();
    files->setDirectory(folder);  // the folder is given; the rest is typed and clicked
    if (!fileType.isEmpty()) pick(dialog.findChild<QComboBox*>("fileTypeCombo"), fileType);
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    clickOn(edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace zv::test
