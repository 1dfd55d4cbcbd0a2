#include "app/passage_notice.h"

#include <QEvent>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <functional>

#include "processing/w_pro.h"

namespace {

const QString kRed = QStringLiteral("color: rgb(255, 0, 0); font-weight: bold; font-size: 11pt;");

// Keeps the label over the right end of the tab row whenever the pages move or resize.
class TabRowKeeper : public QObject {
  public:
    TabRowKeeper(QObject* owner, std::function<void()> place) : QObject(owner), place_(std::move(place)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move) place_();
        return false;
    }

  private:
    std::function<void()> place_;
};

}  // namespace

const QString PassageNotice::kText = QStringLiteral("Состав проходит при отключённом взвешивании");

PassageNotice::PassageNotice(QTabWidget* pages)
    : pages_(pages),
      label_(new QLabel(kText, pages->parentWidget())),
      banner_(new QLabel(kText)) {
    label_->setObjectName(QStringLiteral("LaPass"));
    label_->setStyleSheet(kRed);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->hide();
    pages_->installEventFilter(new TabRowKeeper(label_, [this] { place(); }));

    banner_->setObjectName(QStringLiteral("PassBanner"));
    banner_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    banner_->setAttribute(Qt::WA_ShowWithoutActivating);
    banner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    banner_->setStyleSheet(kRed + QStringLiteral(" background: rgb(255, 255, 225); padding: 4px; border: 1px solid red;"));
}

PassageNotice::~PassageNotice() {
    delete label_;  // with its keeper, which calls back here
    delete banner_;
}

void PassageNotice::setWindows(TWPro* processing, const QList<QWidget*>& others) {
    processing_ = processing;
    others_.clear();
    for (QWidget* w : others) others_.append(w);
}

void PassageNotice::place() {
    const QSize size = label_->sizeHint();
    const QRect pages = pages_->geometry();
    const int row = pages_->tabBar()->height();
    label_->setGeometry(pages.right() - size.width() - 8, pages.top() + (row - size.height()) / 2,
                        size.width(), size.height());
}

QWidget* PassageNotice::coveringWindow() const {
    for (const QPointer<QWidget>& w : others_)
        if (w && w->isVisible()) return w;
    return nullptr;
}

void PassageNotice::show(bool shown) {
    if (shown && label_->isHidden()) place();
    label_->setVisible(shown);
    if (shown) label_->raise();
    if (processing_) processing_->showNotice(shown ? kText : QString());
    QWidget* over = shown ? coveringWindow() : nullptr;
    if (!over) {
        banner_->hide();
        return;
    }
    banner_->adjustSize();
    const QRect window = over->geometry();
    banner_->move(window.left() + (window.width() - banner_->width()) / 2, window.top() + 2);
    banner_->show();
    banner_->raise();
}
