#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace zv {

// Date-time values are stored as local-time ISO-8601 text with milliseconds
// ("2026-12-09 14:03:27.125"): it sorts in time order and reads well in any SQLite tool.
QString dateTimeToStorage(const QDateTime& value);
QDateTime dateTimeFromStorage(const QString& text);  // invalid when the text is not a date-time

// A date-time as the operator writes it: "dd.mm.yyyy hh:mm" (also with '/' or '-' as the date
// separator, with seconds and milliseconds, or without the time), or the storage form itself.
std::optional<QDateTime> parseDateTimeText(const QString& text);
// A date-time as a cell editor shows it: "dd.MM.yyyy hh:mm:ss", with ".zzz" when it has
// milliseconds. parseDateTimeText reads it back as the same value.
QString dateTimeToEditText(const QDateTime& value);

}  // namespace zv
