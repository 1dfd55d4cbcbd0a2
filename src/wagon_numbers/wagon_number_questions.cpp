#include "wagon_numbers/wagon_number_questions.h"

#include <QStringList>

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

bool confirmWagonNumber(const TypedWagonNumber& typed) {
    // Each doubt is asked in turn; the number is logged only once every one was answered Yes,
    // since only then is it written.
    QStringList reasons;
    const std::string digits = typed.number.toStdString();
    if (checkControlDigit(digits) == ControlDigitCheck::Mismatch) {
        const int expected = *wagonControlDigit(std::string_view(digits).substr(0, 7));
        if (!Messages::cautiousQuestion(controlDigitQuestion(typed.number, expected))) return false;
        reasons << QStringLiteral("неверная контрольная цифра, должна быть %1").arg(expected);
    }
    if (typed.takenByRow > 0) {
        if (!Messages::cautiousQuestion(takenNumberQuestion(typed.number, typed.takenByRow))) return false;
        reasons << QStringLiteral("уже есть в составе, строка %1").arg(typed.takenByRow);
    }
    for (const QString& why : reasons)
        Events::record(event_kind::WagonNumberConfirmed, typed.subject, {},
                       QStringLiteral("%1 (%2)").arg(typed.number, why));
    return true;
}

}  // namespace zv
