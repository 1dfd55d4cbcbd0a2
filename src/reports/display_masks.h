#pragma once

#include <QDateTime>
#include <QString>

namespace zv {

// Date-time display mask of the layouts: yyyy yy mm m dd d hh h nn n ss s zzz; an "m" right
// after an hour stands for minutes, as in "hh:mm". Other characters are copied.
QString formatDateMask(const QDateTime& value, const QString& mask);

// Number mask of FORMATNUMERIC: '0' a digit always shown, '#' a digit shown when needed,
// '.' the decimal point, ',' anywhere in the integer part groups thousands with a space.
// Characters before the first and after the last placeholder are copied.
QString formatNumericMask(const QString& mask, double value);

}  // namespace zv
