#pragma once

#include <QDate>
#include <QString>

namespace zv {

class EventLog;

// The number of calibration saves since the log began, and the day of the last one.
struct CalibrationCounter {
    int count = 0;
    QDate last;

    // "калибровка № 7 от 10.12.2026"; "калибровка № 0" before the first one.
    QString text() const;
    // "Счетчик калибровок: 7, последняя 10.12.2026", the caption of the calibration page.
    QString caption() const;
};

CalibrationCounter calibrationCounter(const EventLog& log);

}  // namespace zv
