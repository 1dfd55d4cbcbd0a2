#pragma once

#include <QByteArray>
#include <QString>

#include "integrity/calibration_values.h"

namespace zv {

// The calibration as sealed last, kept beside the key and the chain heads: one "name=value"
// line per sealed value and a keyed hash of them, so that the values a program save left can
// be told from values written into the settings file by hand, and named old and new.
struct CalibrationSeal {
    enum class State { Intact, Missing, Unreadable, Broken };
    State state = State::Missing;
    SealedValues values;  // only when intact
};

CalibrationSeal readCalibrationSeal(const QString& path, const QByteArray& key);
// Atomically; false when it cannot be written.
bool writeCalibrationSeal(const QString& path, const QByteArray& key, const SealedValues& values);

}  // namespace zv
