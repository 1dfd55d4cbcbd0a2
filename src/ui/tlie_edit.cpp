#include "ui/tlie_edit.h"

#include <QFocusEvent>
#include <QLabel>
#include <QRegularExpressionValidator>

TLIEdit::TLIEdit(QWidget* parent) : TLIEdit(QString(), parent) {}

TLIEdit::TLIEdit(const QString& caption, QWidget* parent) : QLineEdit(parent) {
    if (!caption.isEmpty()) {
        label_ = new QLabel(caption, parent);
        label_->setBuddy(this);
    }
    // Of what is typed, pasted or dropped only digits and the minus sign get in: a key
    // that types anything else does nothing, and pasted text holding anything else is
    // refused as a whole rather than let in to be thrown away on leaving.
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9-]*"), this));
    setText(QString::number(val_));
}

TLIEdit::~TLIEdit() {
    delete label_;
}

int32_t TLIEdit::limited(int64_t v) const {
    if (v > maxVal_) return maxVal_;
    if (v < minVal_) return minVal_;
    return static_cast<int32_t>(v);
}

void TLIEdit::setVal(int32_t v) {
    if (v == val_) return;
    val_ = limited(v);
    setText(QString::number(val_));
}

void TLIEdit::repair() {
    valModified_ = false;
    bool ok = false;
    const qlonglong typed = text().toLongLong(&ok, 10);
    if (!ok || typed < INT32_MIN || typed > INT32_MAX) {
        setText(QString::number(val_));
        return;
    }
    const int32_t v = limited(typed);
    if (v != val_) {
        val_ = v;
        valModified_ = true;
    }
    if (v != typed) setText(QString::number(v));
}

void TLIEdit::focusOutEvent(QFocusEvent* event) {
    // A context menu or another application taking the focus is not leaving the edit.
    const bool leaving =
        event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
    if (leaving) repair();
    QLineEdit::focusOutEvent(event);
    if (leaving) emit exited();
}

void TLIEdit::setVisible(bool visible) {
    QLineEdit::setVisible(visible);
    // A label not yet placed in a window would show as a window of its own.
    if (label_ && label_->parentWidget()) label_->setVisible(visible);
}

void TLIEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && label_) label_->setEnabled(isEnabled());
    QLineEdit::changeEvent(event);
}
