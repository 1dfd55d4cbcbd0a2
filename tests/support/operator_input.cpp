#include "support/operator_input.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QWidget>

namespace zv::test {

namespace {

QPoint visibleCentre(QWidget* control) {
    const QRect visible = control->visibleRegion().boundingRect();
    return visible.isEmpty() ? control->rect().center() : visible.center();
}

bool isControl(QWidget* w) {
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTextEdit*>(w) ||
           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTabBar*>(w);
}

// Parts of a composite control (a combo box's edit, a grid's header or cell editor) are
// reached through the control they belong to.
bool isPartOfAnotherControl(QWidget* w, QWidget* window) {
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (isControl(p) && !qobject_cast<QAbstractButton*>(p)) return true;
    return false;
}

QString nameOf(QWidget* w) {
    QString name = w->objectName();
    if (name.isEmpty()) {
        if (auto* button = qobject_cast<QAbstractButton*>(w)) name = '"' + button->text() + '"';
    }
    return QString("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), name);
}

QList<QWidget*> operatedControls(QWidget* window) {
    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled()) continue;
        if (!isControl(w) || isPartOfAnotherControl(w, window)) continue;
        if (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton*>(w)) continue;
        controls.append(w);
    }
    return controls;
}

// The controls the focus visits when Tab is pressed again and again, in order.
QList<QWidget*> tabRound(QWidget* window, int limit) {
    QList<QWidget*> visited;
    for (int i = 0; i < limit; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus->window() != window) break;
        QTest::keyClick(focus, Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        if (!next) break;
        visited.append(next);
    }
    return visited;
}

bool focusedIn(QWidget* control) {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == control || control->isAncestorOf(focus) ||
                     focus->focusProxy() == control || control->focusProxy() == focus);
}

void activate(QWidget* window) {
    if (window->isActiveWindow()) return;
    if (!window->isVisible()) window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        ADD_FAILURE() << "the window " << nameOf(window).toStdString()
                      << " does not become active; active: "
                      << (QApplication::activeWindow()
                              ? nameOf(QApplication::activeWindow()).toStdString()
                              : std::string("none"))
                      << ", modal: "
                      << (QApplication::activeModalWidget()
                              ? nameOf(QApplication::activeModalWidget()).toStdString()
                              : std::string("none"));
}

QString plain(QString text) {
    return text.remove('&');
}

QAction* actionNamed(QWidget* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (plain(a->text()) == plain(text)) return a;
    return nullptr;
}

}  // namespace

QWidget* control(QWidget* window, const char* name) {
    QWidget* w = window->findChild<QWidget*>(QString::fromLatin1(name));
    if (!w) ADD_FAILURE() << "no control " << name << " in " << nameOf(window).toStdString();
    return w;
}

QWidget* controlAtCentre(QWidget* control) {
    QWidget* window = control->window();
    activate(window);
    // A control just shown or hidden moves the others only once the layout has run.
    QApplication::processEvents();
    return window->childAt(control->mapTo(window, visibleCentre(control)));
}

bool clickReaches(QWidget* control) {
    QWidget* hit = controlAtCentre(control);
    return hit && (hit == control || control->isAncestorOf(hit));
}

void click(QWidget* control) {
    clickAt(control, visibleCentre(control));
}

void clickAt(QWidget* target, QPoint at, bool twice) {
    QWidget* window = target->window();
    activate(window);
    QApplication::processEvents();
    const QPoint inWindow = target->mapTo(window, at);
    QWidget* hit = window->childAt(inWindow);
    if (!hit || !(hit == target || target->isAncestorOf(hit))) {
        ADD_FAILURE() << "a click on " << nameOf(target).toStdString() << " lands on "
                      << (hit ? nameOf(hit).toStdString() : std::string("nothing"));
        return;
    }
    const QPoint local = hit->mapFrom(window, inWindow);
    QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, local);
    if (twice) QTest::mouseDClick(hit, Qt::LeftButton, Qt::NoModifier, local);
}

void typeInto(QWidget* edit, const QString& keys) {
    click(edit);
    QWidget* focus = QApplication::focusWidget();
    if (!focus) {
        ADD_FAILURE() << "no control has the focus";
        return;
    }
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    typeKeys(focus, keys);
}

void typeKeys(QWidget* focus, const QString& keys) {
    for (const QChar c : keys) {
        if (c.unicode() < 128)
            QTest::keyClick(focus, static_cast<char>(c.unicode()));
        else  // a key of the Russian layout
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    if (index < 0) {
        ADD_FAILURE() << "no item " << text.toStdString() << " in " << nameOf(box).toStdString();
        return;
    }
    click(box);
    QAbstractItemView* list = box->view();
    if (!list->isVisible()) {
        ADD_FAILURE() << "the list of " << nameOf(box).toStdString() << " did not open";
        return;
    }
    // A list just opened ignores a release that could still belong to the opening click.
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    const QRect item = list->visualRect(list->model()->index(index, box->modelColumn()));
    QTest::mouseMove(list->viewport(), item.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
}

void chooseMenu(QMenuBar* bar, const QStringList& path) {
    activate(bar->window());
    QAction* title = actionNamed(bar, path.value(0));
    if (!title || !title->menu()) {
        ADD_FAILURE() << "no menu " << path.value(0).toStdString();
        return;
    }
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(title).center());
    QMenu* menu = title->menu();
    for (int i = 1; i < path.size(); ++i) {
        QAction* item = actionNamed(menu, path[i]);
        if (!item || !menu->isVisible()) {
            ADD_FAILURE() << "no item " << path[i].toStdString() << " open in the menu";
            return;
        }
        const QPoint at = menu->actionGeometry(item).center();
        if (item->menu()) {
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
            menu = item->menu();
            // A submenu opens on the menu's own timer, a moment after the click.
            for (int wait = 0; wait < 50 && !menu->isVisible(); ++wait) QTest::qWait(10);
        } else {
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
        }
    }
}

void press(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
    click(button);
}

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

void pressEnter(QWidget* editor) {
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void typeIntoCell(QAbstractItemView* view, const QModelIndex& index, const QString& text) {
    QLineEdit* editor = openEditor(view, index);
    ASSERT_NE(editor, nullptr) << "no editor opened";
    editor->selectAll();
    typeKeys(editor, text);
    pressEnter(editor);
}

bool tabTo(QWidget* control) {
    for (int i = 0; i < 200 && !focusedIn(control); ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) return false;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return focusedIn(control);
}

QStringList unreachableControls(QWidget* window) {
    QStringList faults;
    const QList<QWidget*> controls = operatedControls(window);
    for (QWidget* c : controls)
        if (!clickReaches(c)) {
            QWidget* hit = controlAtCentre(c);
            faults << nameOf(c) + ": a click lands on " + (hit ? nameOf(hit) : "nothing");
        }
    const QList<QWidget*> round = tabRound(window, 2 * static_cast<int>(controls.size()) + 8);
    for (QWidget* c : controls) {
        if (!(c->focusPolicy() & Qt::TabFocus)) {
            faults << nameOf(c) + ": not in the Tab order";
            continue;
        }
        bool reached = false;
        for (QWidget* f : round)
            reached = reached || f == c || c->isAncestorOf(f) || f->focusProxy() == c;
        if (!reached) faults << nameOf(c) + ": Tab never reaches it";
    }
    return faults;
}

}  // namespace zv::test
