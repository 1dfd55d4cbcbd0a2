#pragma once

#include <QObject>
#include <QRect>

class QScreen;
class QScrollArea;
class QWidget;

namespace zv {

// Keeps every window of the program on its screen: a window about to be shown that is larger
// than the screen's free area (the area less the task bar) is made smaller, down to its
// layout's minimum, and moved so that its frame lies inside. A yard PC's 1366x768 screen
// holds every window whole, status bar included. Installed once on the application by the
// main window.
class ScreenFit : public QObject {
    Q_OBJECT
  public:
    explicit ScreenFit(QObject* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The room a window may take on `screen`: its free area less the frame a window manager adds
// (the frame the window has, or a usual title bar and border while it has none yet).
QRect roomFor(const QWidget* window, const QScreen* screen);

// Fits one window to the screen it is on, as ScreenFit does when it is shown. A window marked
// with maximiseWhenLarger is maximised instead when its size does not fit.
void fitToScreen(QWidget* window);
void maximiseWhenLarger(QWidget* window);

// A tall page in a scroll area that asks for the whole page but can be made small: its
// window fits a small screen and the page scrolls there, while a larger screen shows it whole.
QScrollArea* scrollablePage(QWidget* page);

}  // namespace zv
