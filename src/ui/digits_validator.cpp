#include "ui/digits_validator.h"

#include <algorithm>

namespace zv {

DigitsValidator::DigitsValidator(const QString& placeholder, QObject* parent)
    : QValidator(parent), placeholder_(placeholder) {}

QValidator::State DigitsValidator::validate(QString& input, int& pos) const {
    if (!placeholder_.isEmpty() && input == placeholder_) return Acceptable;
    if (!placeholder_.isEmpty() && input.startsWith(placeholder_)) {
        input.remove(0, placeholder_.size());
        pos = std::max<int>(0, pos - static_cast<int>(placeholder_.size()));
    }
    for (const QChar c : input)
        if (c < u'0' || c > u'9') return Invalid;
    return Acceptable;
}

}  // namespace zv
