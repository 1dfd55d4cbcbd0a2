#include "reports/display_masks.h"

#include <QRegularExpression>
#include <cmath>

namespace zv {

namespace {

// Length of the run of character c starting at i (case-insensitive).
int runLength(const QString& s, int i, QChar c) {
    int n = 0;
    while (i + n < s.size() && s[i + n].toLower() == c) ++n;
    return n;
}

QString twoDigits(int v) {
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

QString dateToken(const QDateTime& t, QChar c, int n, bool afterHour) {
    const QDate d = t.date();
    const QTime tm = t.time();
    switch (c.unicode()) {
        case 'y':
            return n >= 3 ? QString::number(d.year()) : twoDigits(d.year() % 100);
        case 'm':
            if (afterHour) return n >= 2 ? twoDigits(tm.minute()) : QString::number(tm.minute());
            return n >= 2 ? twoDigits(d.month()) : QString::number(d.month());
        case 'd':
            return n >= 2 ? twoDigits(d.day()) : QString::number(d.day());
        case 'h':
            return n >= 2 ? twoDigits(tm.hour()) : QString::number(tm.hour());
        case 'n':
            return n >= 2 ? twoDigits(tm.minute()) : QString::number(tm.minute());
        case 's':
            return n >= 2 ? twoDigits(tm.second()) : QString::number(tm.second());
        case 'z':
            return QString::number(tm.msec()).rightJustified(3, QLatin1Char('0'));
        default:
            return {};
    }
}

QString groupThousands(const QString& digits) {
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += QLatin1Char(' ');
        out += digits[i];
    }
    return out;
}

}  // namespace

QString formatDateMask(const QDateTime& value, const QString& mask) {
    static const QString tokens = QStringLiteral("ymdhnsz");
    QString out;
    bool afterHour = false;
    for (int i = 0; i < mask.size();) {
        const QChar c = mask[i].toLower();
        if (!tokens.contains(c)) {
            out += mask[i++];
            continue;
        }
        const int n = runLength(mask, i, c);
        out += dateToken(value, c, n, afterHour);
        if (c != 'm') afterHour = (c == 'h');
        i += n;
    }
    return out;
}

QString formatNumericMask(const QString& mask, double value) {
    static const QString placeholders = QStringLiteral("#0.,");
    int first = -1;
    int last = -1;
    for (int i = 0; i < mask.size(); ++i) {
        if (!placeholders.contains(mask[i])) continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) return mask;
    const QString core = mask.mid(first, last - first + 1);
    const int point = core.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? core : core.left(point);
    const QString decPart = point < 0 ? QString() : core.mid(point + 1);
    const int minInt = static_cast<int>(intPart.count(QLatin1Char('0')));
    const int minDec = static_cast<int>(decPart.count(QLatin1Char('0')));
    const int maxDec = minDec + static_cast<int>(decPart.count(QLatin1Char('#')));

    // Halves go to the even digit, as everywhere in the program; long double keeps
    // the sums of a whole report exact.
    const long double scale = std::pow(10.0L, maxDec);
    const long double scaled = std::nearbyint(std::fabs(static_cast<long double>(value)) * scale);
    QString digits = QString::number(static_cast<unsigned long long>(scaled))
                         .rightJustified(maxDec + 1, QLatin1Char('0'));
    QString integer = digits.left(digits.size() - maxDec);
    QString decimals = digits.right(maxDec);
    while (decimals.size() > minDec && decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    integer.remove(QRegularExpression(QStringLiteral("^0+")));
    integer = integer.rightJustified(minInt, QLatin1Char('0'));
    if (intPart.contains(QLatin1Char(','))) integer = groupThousands(integer);

    QString number = integer;
    if (!decimals.isEmpty()) number += QLatin1Char('.') + decimals;
    const bool negative = value < 0 && scaled != 0;
    return mask.left(first) + (negative ? QStringLiteral("-") : QString()) + number +
           mask.mid(last + 1);
}

}  // namespace zv
