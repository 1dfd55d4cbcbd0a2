#include "processing/field_edit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <exception>

#include "records/table.h"

FieldEdit::FieldEdit(zv::Table& table, const QString& field, QWidget* parent)
    : QLineEdit(parent), table_(table), field_(field) {
    setObjectName(QStringLiteral("DBE") + field);
    connect(this, &QLineEdit::textEdited, this, &FieldEdit::write);
}

void FieldEdit::acceptOnly(const QString& pattern) {
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
}

void FieldEdit::refresh() {
    if (writing_) return;
    const QVariant value = table_.isOpen() ? table_.value(field_) : QVariant();
    const QString text = value.isNull() ? QString() : value.toString();
    if (text != this->text()) setText(text);
}

void FieldEdit::write(const QString& text) {
    writing_ = true;
    try {
        if (table_.state() == zv::Table::State::Browse) table_.edit();
        table_.setValue(field_, text.isEmpty() ? QVariant() : QVariant(text));
        writing_ = false;
    } catch (const std::exception& e) {
        writing_ = false;
        refresh();
        emit refused(QString::fromUtf8(e.what()));
    }
}

void FieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit left();
}

void FieldEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool character = !text.isEmpty() && text.at(0).isPrint();
    if (digitsOnly_ && character &&
        !(text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9')) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
