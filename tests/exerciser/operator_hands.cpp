#include "exerciser/operator_hands.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QWindow>
#include <algorithm>

namespace zv::test {

QString nameOf(const QWidget* widget) {
    if (!widget) return QStringLiteral("-");
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

QStringList namePath(const QWidget* widget) {
    QStringList path;
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget())
        path << nameOf(w);
    return path;
}

// A place to click: a point of a widget, and what it is for the log.
struct OperatorHands::Spot {
    QWidget* widget;
    QPoint at;  // in the widget
    QString what;
    bool twice = false;
};

namespace {

struct KeyChoice {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
    bool edits;
};

// The keys of the operator's keyboard the exerciser presses, besides typed characters.
const KeyChoice kKeys[] = {
    {Qt::Key_Tab, Qt::NoModifier, "Tab", false},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab", false},
    {Qt::Key_Up, Qt::NoModifier, "Up", false},
    {Qt::Key_Down, Qt::NoModifier, "Down", false},
    {Qt::Key_Left, Qt::NoModifier, "Left", false},
    {Qt::Key_Right, Qt::NoModifier, "Right", false},
    {Qt::Key_Return, Qt::NoModifier, "Enter", false},
    {Qt::Key_F2, Qt::NoModifier, "F2", false},
    {Qt::Key_Space, Qt::NoModifier, "Space", true},
    {Qt::Key_PageUp, Qt::NoModifier, "PageUp", false},
    {Qt::Key_PageDown, Qt::NoModifier, "PageDown", false},
    {Qt::Key_Delete, Qt::NoModifier, "Delete", true},
    {Qt::Key_Backspace, Qt::NoModifier, "Backspace", true},
    {Qt::Key_Home, Qt::NoModifier, "Home", false},
    {Qt::Key_End, Qt::NoModifier, "End", false},
};
const KeyChoice kEscape = {Qt::Key_Escape, Qt::NoModifier, "Escape", false};

// Mostly digits, as the program's fields mostly are, and some letters.
const char kTyped[] = "0123456789012345678901234567890abcxyzKLM-";

QPoint pointIn(const QRect& rect, int dx, int dy) {
    return {rect.left() + std::clamp(dx, 0, std::max(0, rect.width() - 1)),
            rect.top() + std::clamp(dy, 0, std::max(0, rect.height() - 1))};
}

QString captionOf(const QWidget* widget) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(widget)) return b->text();
    if (const auto* c = qobject_cast<const QComboBox*>(widget)) return c->currentText();
    return {};
}

QWindow* handleOf(QWidget* window) {
    if (!window->windowHandle()) window->winId();
    return window->windowHandle();
}

bool isTextEntry(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w);
}

}  // namespace

int OperatorHands::pick(int n) {
    return n <= 1 ? 0 : static_cast<int>(random_() % static_cast<uint64_t>(n));
}

bool OperatorHands::keptAway(const QWidget* widget) const {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (offLimits_ && offLimits_(w)) return true;
    return false;
}

std::vector<OperatorHands::Spot> OperatorHands::spots(QWidget* window) {
    std::vector<Spot> found;
    auto addActions = [&](QWidget* owner, const QList<QAction*>& actions, auto geometry) {
        for (QAction* a : actions) {
            if (a->isSeparator() || !a->isVisible() || !a->isEnabled()) continue;
            if (std::find(offLimitActions_.begin(), offLimitActions_.end(), a) !=
                offLimitActions_.end())
                continue;
            const QRect r = geometry(a);
            if (r.isEmpty()) continue;
            found.push_back({owner, r.center(), "menu «" + a->text() + "»"});
        }
    };
    if (auto* menu = qobject_cast<QMenu*>(window))
        addActions(menu, menu->actions(), [menu](QAction* a) { return menu->actionGeometry(a); });

    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->window() != window || !w->isVisible() || !w->isEnabled()) continue;
        const QRect shown = w->visibleRegion().boundingRect();
        if (shown.isEmpty()) continue;
        const QString who = QString::fromLatin1(w->metaObject()->className()) + " " + nameOf(w);
        if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            addActions(bar, bar->actions(), [bar](QAction* a) { return bar->actionGeometry(a); });
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->isTabEnabled(i))
                    found.push_back(
                        {tabs, tabs->tabRect(i).center(), "tab «" + tabs->tabText(i) + "»"});
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            found.push_back({header, pointIn(shown, pick(shown.width()), pick(shown.height())),
                             "header of " + nameOf(header->parentWidget())});
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
            QWidget* port = view->viewport();
            const QRect area = port->visibleRegion().boundingRect();
            if (area.isEmpty()) continue;
            for (int i = 0; i < 3; ++i) {
                const QPoint p = pointIn(area, pick(area.width()), pick(area.height()));
                const QModelIndex cell = view->indexAt(p);
                const QString where =
                    cell.isValid() ? QStringLiteral("cell %1,%2").arg(cell.row()).arg(cell.column())
                                   : QStringLiteral("empty area");
                found.push_back({port, p, where + " of " + who, pick(5) == 0});
            }
        } else if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                   qobject_cast<QAbstractSlider*>(w) || isTextEntry(w)) {
            const QString caption = captionOf(w);
            found.push_back(
                {w,
                 pointIn(shown, shown.width() / 2 + pick(9) - 4, shown.height() / 2 + pick(5) - 2),
                 who + (caption.isEmpty() ? QString() : " «" + caption + "»")});
        }
    }
    return found;
}

bool OperatorHands::reachable(QWidget* window, const Spot& spot) const {
    if (keptAway(spot.widget)) return false;
    const QPoint at = spot.widget == window ? spot.at : spot.widget->mapTo(window, spot.at);
    const QWidget* hit = window->childAt(at);
    return !keptAway(hit ? hit : window);
}

Input OperatorHands::click(QWidget* window) {
    std::vector<Spot> all = spots(window);
    for (int attempt = 0; attempt < 6 && !all.empty(); ++attempt) {
        const Spot spot = all[static_cast<std::size_t>(pick(static_cast<int>(all.size())))];
        if (!reachable(window, spot)) continue;
        const QPoint at = spot.widget == window ? spot.at : spot.widget->mapTo(window, spot.at);
        const QWidget* hit = window->childAt(at);
        Input input;
        input.text = QStringLiteral("%1 %2 at %3,%4")
                         .arg(spot.twice ? "double-click" : "click", spot.what)
                         .arg(at.x())
                         .arg(at.y());
        input.path = namePath(hit ? hit : window);
        QPointer<QWidget> target(window);
        const bool twice = spot.twice;
        input.send = [target, at, twice] {
            if (!target) return;
            QWindow* handle = handleOf(target);
            if (twice) {
                QTest::mouseDClick(handle, Qt::LeftButton, Qt::NoModifier, at);
            } else {
                QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, at);
            }
        };
        return input;
    }
    return key(window);
}

Input OperatorHands::toFocus(QWidget* window, const QString& text) {
    Input input;
    input.text = text;
    QWidget* focus = window->focusWidget();
    input.path = namePath(focus ? focus : window);
    return input;
}

Input OperatorHands::key(QWidget* window) {
    const bool guarded = keptAway(window->focusWidget());
    const auto* menu = qobject_cast<const QMenu*>(window);
    const bool onKeptAction = menu && std::find(offLimitActions_.begin(), offLimitActions_.end(),
                                                menu->activeAction()) != offLimitActions_.end();
    KeyChoice choice = pick(14) == 0 ? kEscape : kKeys[pick(std::size(kKeys))];
    // Inside a kept-away widget only the keys that leave it; a kept-away menu item is never
    // triggered.
    if (guarded && choice.key != Qt::Key_Backtab && choice.key != Qt::Key_Escape) choice = kKeys[0];
    if (onKeptAction && (choice.key == Qt::Key_Return || choice.key == Qt::Key_Space))
        choice = kKeys[2];
    Input input = toFocus(window, QStringLiteral("key %1").arg(choice.name));
    input.edits = choice.edits;
    QPointer<QWidget> target(window);
    input.send = [target, choice] {
        if (target) QTest::keyClick(handleOf(target), choice.key, choice.modifiers);
    };
    return input;
}

Input OperatorHands::typing(QWidget* window) {
    if (keptAway(window->focusWidget()) || qobject_cast<QMenu*>(window)) return key(window);
    QString typed;
    for (int n = 1 + pick(4); n > 0; --n) typed += QLatin1Char(kTyped[pick(sizeof kTyped - 1)]);
    Input input = toFocus(window, "type " + typed);
    input.edits = true;
    QPointer<QWidget> target(window);
    input.send = [target, typed] {
        for (QChar c : typed)
            if (target) QTest::keyClick(handleOf(target), c.toLatin1());
    };
    return input;
}

Input OperatorHands::next(QWidget* window) {
    const int roll = pick(100);
    Input input = roll < 50 ? click(window) : roll < 80 ? key(window) : typing(window);
    input.window = nameOf(window);
    return input;
}

}  // namespace zv::test
