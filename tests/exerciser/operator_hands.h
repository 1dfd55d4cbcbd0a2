#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

class QAction;
class QPoint;
class QWidget;

namespace zv::test {

// One input the exerciser is about to send, described before it goes out.
struct Input {
    QString window;  // objectName (else class) of the window it goes to
    QString text;    // for the log: "click QPushButton But1 «Готово»", "key Tab", "type 12"
    QStringList path;    // objectNames from the widget under the input up to its window
    bool edits = false;  // characters, Delete or Backspace typed: a change the operator makes
    std::function<void()> send;

    bool within(const QString& name) const { return path.contains(name); }
};

// Random mouse and keyboard input to a window, as an operator's hands give it: clicks at
// visible positions of visible, enabled controls, grid cells, tabs and menu items, and keys
// to whatever holds the focus. Seeded: the same seed plans the same inputs on the same
// windows. Input goes through the window system, so a widget lying over a control takes
// its clicks and shortcuts and modality act as they do for a person.
class OperatorHands {
  public:
    explicit OperatorHands(uint64_t seed) : random_(seed) {}

    // Widgets (with what lies inside them) and menu items that are never touched.
    void keepAway(std::function<bool(const QWidget*)> offLimits) {
        offLimits_ = std::move(offLimits);
    }
    void keepAway(const QAction* action) { offLimitActions_.push_back(action); }

    Input next(QWidget* window);
    // A number in [0, n).
    int pick(int n);

  private:
    struct Spot;
    std::vector<Spot> spots(QWidget* window);
    bool reachable(QWidget* window, const Spot& spot) const;
    bool keptAway(const QWidget* widget) const;
    Input click(QWidget* window);
    Input key(QWidget* window);
    Input typing(QWidget* window);
    Input toFocus(QWidget* window, const QString& text);

    std::mt19937_64 random_;
    std::function<bool(const QWidget*)> offLimits_;
    std::vector<const QAction*> offLimitActions_;
};

// The objectNames of `widget` and its ancestors up to its window.
QStringList namePath(const QWidget* widget);
// objectName, else class name.
QString nameOf(const QWidget* widget);

}  // namespace zv::test
