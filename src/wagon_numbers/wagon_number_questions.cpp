#include "wagon_numbers/wagon_number_questions.h"

#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "ui/message_service.h"
#include "wagon_numbers/control_digit.h"

namespace zv {

QString controlDigitQuestion(const QString& number, int expectedDigit) {
    return QStringLiteral(
               "Неверная контрольная цифра номера вагона %1: по первым семи цифрам она должна "
               "быть %2.\r\nОставить номер так, как он введен?")
        .arg(number)
        .arg(expectedDigit);
}

QString takenNumberQuestion(const QString& number, int takenByRow) {
    return QStringLiteral(
               "Номер %1 уже присвоен другому вагону этого состава (строка %2 списка).\r\n"
               "Присвоить его и этому вагону?")
        .arg(number)
        .arg(takenByRow);
}

namespace {

bool confirmed(const TypedWagonNumber& typed, const QString& question, const QString& why) {
    if (!Messages::cautiousQuestion(question)) return false;
    Events::record(event_kind::WagonNumberConfirmed, typed.subject, {},
                   QStringLiteral("%1 (%2)").arg(typed.number, why));
    return true;
}

}  // namespace

bool confirmWagonNumber(const TypedWagonNumber& typed) {
    const std::string digits = typed.number.toStdString();
    if (checkControlDigit(digits) == ControlDigitCheck::Mismatch) {
        const int expected = *wagonControlDigit(std::string_view(digits).substr(0, 7));
        if (!confirmed(typed, controlDigitQuestion(typed.number, expected),
                       QStringLiteral("неверная контрольная цифра, должна быть %1").arg(expected)))
            return false;
    }
    if (typed.takenByRow > 0 &&
        !confirmed(typed, takenNumberQuestion(typed.number, typed.takenByRow),
                   QStringLiteral("уже есть в составе, строка %1").arg(typed.takenByRow)))
        return false;
    return true;
}

}  // namespace zv
