#include "records/date_time_text.h"

#include <QRegularExpression>

namespace zv {

namespace {

const QString kStorageFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");

}  // namespace

QString dateTimeToStorage(const QDateTime& value) { return value.toLocalTime().toString(kStorageFormat); }

QDateTime dateTimeFromStorage(const QString& text) {
    // Every row read goes through here: read the fixed positions instead of a format parser.
    static const QRegularExpression storage(QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})\.(\d{3})$)"));
    if (text.size() == 23) {
        const QRegularExpressionMatch m = storage.match(text);
        if (m.hasMatch()) {
            const QDateTime value(QDate(m.capturedView(1).toInt(), m.capturedView(2).toInt(), m.capturedView(3).toInt()),
                                  QTime(m.capturedView(4).toInt(), m.capturedView(5).toInt(), m.capturedView(6).toInt(),
                                        m.capturedView(7).toInt()));
            if (value.isValid()) return value;
        }
    }
    QDateTime value = QDateTime::fromString(text, kStorageFormat);
    if (!value.isValid()) value = QDateTime::fromString(text, Qt::ISODateWithMs);
    return value;
}

std::optional<QDateTime> parseDateTimeText(const QString& text) {
    static const QRegularExpression dayFirst(QStringLiteral(
        R"(^\s*(\d{1,2})[./-](\d{1,2})[./-](\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{3}))?)?)?\s*$)"));
    const QRegularExpressionMatch m = dayFirst.match(text);
    if (m.hasMatch()) {
        const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(),
                         m.captured(7).toInt());
        if (!date.isValid() || !time.isValid()) return std::nullopt;
        return QDateTime(date, time);
    }
    const QDateTime stored = dateTimeFromStorage(text.trimmed());
    if (stored.isValid()) return stored;
    return std::nullopt;
}

QString dateTimeToEditText(const QDateTime& value) {
    return value.toString(value.time().msec() ? QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz")
                                              : QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

}  // namespace zv
