#include "processing/field_edit.h"

#include <QValidator>
#include <algorithm>
#include <exception>
#include <limits>

#include "records/table.h"
#include "ui/digits_validator.h"

namespace {

// Lets in the texts of an integer field: nothing, a minus sign on the way to a negative
// number, or a number within the field's range.
class IntegerFieldValidator : public QValidator {
  public:
    IntegerFieldValidator(qint64 low, qint64 high, QObject* parent)
        : QValidator(parent), low_(low), high_(high) {}

    State validate(QString& input, int& /*pos*/) const override {
        if (input.isEmpty()) return Acceptable;
        if (input == QStringLiteral("-")) return low_ < 0 ? Intermediate : Invalid;
        for (qsizetype i = 0; i < input.size(); ++i)
            if (!input.at(i).isDigit() && !(i == 0 && input.at(i) == u'-')) return Invalid;
        bool ok = false;
        const qlonglong number = input.toLongLong(&ok);
        if (!ok || number > high_ || number < std::min<qint64>(low_, 0)) return Invalid;
        // A positive number below the range may still grow into it.
        return number < low_ ? Intermediate : Acceptable;
    }

  private:
    qint64 low_;
    qint64 high_;
};

void limitToField(FieldEdit& edit, const zv::FieldDef& field) {
    if (!field.isStored() || field.readOnly) return;
    if (field.type == zv::FieldType::Text) {
        edit.setMaxLength(field.size);
        return;
    }
    if (!field.isInteger()) return;
    const bool int16 = field.type == zv::FieldType::Int16;
    const qint64 low =
        field.range ? field.range->min : (int16 ? -32768 : std::numeric_limits<qint32>::min());
    const qint64 high =
        field.range ? field.range->max : (int16 ? 32767 : std::numeric_limits<qint32>::max());
    edit.setValidator(new IntegerFieldValidator(low, high, &edit));
}

}  // namespace

FieldEdit::FieldEdit(zv::Table& table, const QString& field, QWidget* parent)
    : QLineEdit(parent), table_(table), field_(field) {
    setObjectName(QStringLiteral("DBE") + field);
    limitToField(*this, table.def().field(field));
    connect(this, &QLineEdit::textEdited, this, &FieldEdit::write);
}

void FieldEdit::setDigitsOnly(const QString& placeholder) {
    setValidator(new zv::DigitsValidator(placeholder, this));
}

void FieldEdit::refresh() {
    if (writing_) return;
    const QVariant value = table_.isOpen() ? table_.value(field_) : QVariant();
    const QString text = value.isNull() ? QString() : value.toString();
    if (text != this->text()) setText(text);
}

void FieldEdit::write(const QString& text) {
    // A number on its way ("-") is no value yet.
    const bool complete = hasAcceptableInput() && !text.isEmpty();
    writing_ = true;
    try {
        if (table_.state() == zv::Table::State::Browse) table_.edit();
        table_.setValue(field_, complete ? QVariant(text) : QVariant());
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
