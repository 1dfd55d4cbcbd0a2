#include "ui/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace zv {

namespace {

constexpr const char* kMaximiseProperty = "zvMaximiseWhenLarger";
// A usual window manager's frame, for a window not yet shown (whose frame is not yet known).
constexpr int kTitleBar = 32;
constexpr int kBorder = 4;

// A dialog opens on the screen of the window it belongs to, wherever it stood before.
QScreen* screenOf(const QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : window;
    if (QScreen* at = QGuiApplication::screenAt(owner->geometry().center())) return at;
    if (QScreen* own = window->screen()) return own;
    return QGuiApplication::primaryScreen();
}

bool isFittedWindow(const QWidget* widget) {
    if (!widget->isWindow()) return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

}  // namespace

ScreenFit::ScreenFit(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (isFittedWindow(widget)) fitToScreen(widget);
    }
    return false;
}

QRect roomFor(const QWidget* window, const QScreen* screen) {
    const QRect free = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const bool framed = frame != inner && window->testAttribute(Qt::WA_WState_Created);
    const QMargins margins = framed ? QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                                               frame.right() - inner.right(), frame.bottom() - inner.bottom())
                                    : QMargins(kBorder, kTitleBar, kBorder, kBorder);
    return free.marginsRemoved(margins);
}

void fitToScreen(QWidget* window) {
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    QScreen* screen = screenOf(window);
    if (!screen) return;
    if (window->screen() != screen) window->setScreen(screen);  // maximised on the screen it is on
    if (QGuiApplication::screenAt(window->geometry().center()) != screen) {
        QRect centred = window->geometry();
        centred.moveCenter(window->parentWidget() ? window->parentWidget()->window()->geometry().center()
                                                  : screen->availableGeometry().center());
        window->move(window->pos() + (centred.topLeft() - window->geometry().topLeft()));
    }
    const QRect room = roomFor(window, screen);
    QSize size = window->size();
    if (window->property(kMaximiseProperty).toBool() &&
        (size.width() > room.width() || size.height() > room.height())) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    size = size.boundedTo(room.size()).expandedTo(window->minimumSize());
    if (size != window->size()) window->resize(size);
    const QPoint client = window->geometry().topLeft();
    const QPoint inside(qBound(room.left(), client.x(), qMax(room.left(), room.right() + 1 - size.width())),
                        qBound(room.top(), client.y(), qMax(room.top(), room.bottom() + 1 - size.height())));
    if (inside != client) window->move(window->pos() + (inside - client));
}

void maximiseWhenLarger(QWidget* window) { window->setProperty(kMaximiseProperty, true); }

namespace {

// Asks for the whole page when there is room, and for little when there is not: the page then
// scrolls instead of pushing its window off a small screen.
class FittingScrollArea : public QScrollArea {
  public:
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override { return QSize(160, 120); }
};

}  // namespace

QScrollArea* scrollablePage(QWidget* page) {
    auto* area = new FittingScrollArea;
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(page);
    return area;
}

}  // namespace zv
