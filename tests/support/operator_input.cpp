#include "support/operator_input.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

namespace zv::test {

void clickCell(QAbstractItemView* view, const QModelIndex& index) {
    ASSERT_TRUE(index.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

QLineEdit* openEditor(QAbstractItemView* view, const QModelIndex& index) {
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    return qobject_cast<QLineEdit*>(view->indexWidget(index));
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void pressEnter(QWidget* editor) {
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void typeIntoCell(QAbstractItemView* view, const QModelIndex& index, const QString& text) {
    QLineEdit* editor = openEditor(view, index);
    ASSERT_NE(editor, nullptr) << "no editor opened";
    editor->selectAll();
    typeText(editor, text);
    pressEnter(editor);
}

void press(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace zv::test
