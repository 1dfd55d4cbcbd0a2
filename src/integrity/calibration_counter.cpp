#include "integrity/calibration_counter.h"

#include "integrity/event_kinds.h"
#include "integrity/event_log.h"

namespace zv {

namespace {

QString day(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

}  // namespace

QString CalibrationCounter::text() const {
    if (count == 0) return QStringLiteral("калибровка № 0");
    return QStringLiteral("калибровка № %1 от %2").arg(count).arg(day(last));
}

QString CalibrationCounter::caption() const {
    if (count == 0) return QStringLiteral("Счетчик калибровок: 0");
    return QStringLiteral("Счетчик калибровок: %1, последняя %2").arg(count).arg(day(last));
}

CalibrationCounter calibrationCounter(const EventLog& log) {
    CalibrationCounter counter;
    counter.count = log.countOf(event_kind::Calibration);
    if (const auto last = log.lastOf(event_kind::Calibration)) counter.last = last->time.date();
    return counter;
}

}  // namespace zv
