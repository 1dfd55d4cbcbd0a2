#pragma once

#include <QString>

namespace zv {

// A wagon number the operator typed, before it is written.
struct TypedWagonNumber {
    QString number;
    // Where it goes, as the event log names it ("Состав 5, 01.12.2026 08:01:00").
    QString subject;
    // The place in the list (from 1) of another wagon of the same train with this number;
    // 0 when no other wagon has it.
    int takenByRow = 0;
};

// Says at once what is doubtful about the number: a control digit that does not match, a
// number another wagon of the train already has. Each question answered Yes keeps the number
// as typed and is logged; No (or closing the box) refuses it, for the operator to correct.
// True when the number may be written.
bool confirmWagonNumber(const TypedWagonNumber& typed);

// The texts of the questions, as the operator reads them.
QString controlDigitQuestion(const QString& number, int expectedDigit);
QString takenNumberQuestion(const QString& number, int takenByRow);

}  // namespace zv
