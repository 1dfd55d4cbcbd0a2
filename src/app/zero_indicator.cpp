#include "app/zero_indicator.h"

#include <QLabel>
#include <QStatusBar>

#include "engine/zero_state.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"

namespace {

const QString kTaken = QStringLiteral("Ноль установлен");
const QString kNotTaken = QStringLiteral("Ноль не установлен");

void setColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

QLabel* buildZeroIndicator(QWidget* parent) {
    auto* label = new QLabel(kNotTaken, parent);
    label->setObjectName("LZero");
    QFont font = label->font();
    font.setPointSize(9);
    font.setBold(true);
    label->setFont(font);
    setColour(label, QColor(255, 64, 64));
    return label;
}

ZeroIndicator::ZeroIndicator(QLabel* indicator, QStatusBar* statusBar)
    : indicator_(indicator), status_(new QLabel(statusBar)) {
    status_->setObjectName("SBZero");
    setColour(status_, QColor(192, 0, 0));
    // A long reason must never widen the window: it takes the room left and is cut there,
    // the whole of it in the tooltip.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status_->hide();
    statusBar->addPermanentWidget(status_, 1);
}

void ZeroIndicator::show(const zv::ZeroState& zero, int32_t Fadc) {
    showTaken(zero.taken);
    showReason(zero, Fadc);
}

void ZeroIndicator::showNoLink() {
    if (shownTaken_ == -1) return;
    shownTaken_ = -1;
    indicator_->clear();
    status_->hide();
}

void ZeroIndicator::showTaken(bool taken) {
    if (int(taken) == shownTaken_) return;
    shownTaken_ = int(taken);
    indicator_->setText(taken ? kTaken : kNotTaken);
    setColour(indicator_, taken ? QColor(200, 255, 255) : QColor(255, 64, 64));
}

// One event per wait, however often the port reopens meanwhile; the line follows the reason.
void ZeroIndicator::showReason(const zv::ZeroState& zero, int32_t Fadc) {
    if (zero.taken) {
        logged_ = false;
        status_->hide();
        return;
    }
    if (!zv::zeroOverdue(zero, Fadc)) return;
    const QString reason = QString::fromStdString(zv::zeroFailureText(zero));
    if (status_->text() != reason) {
        status_->setText(reason);
        status_->setToolTip(reason);
    }
    status_->show();
    if (logged_) return;
    logged_ = true;
    zv::Events::record(zv::event_kind::ZeroNotSet, reason);
}
