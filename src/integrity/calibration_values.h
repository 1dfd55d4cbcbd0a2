#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace zv {

struct Settings;

// One value the calibration seal covers: "ak[0]" = "2000000".
struct SealedValue {
    QString name, value;
    bool operator==(const SealedValue&) const = default;
};
using SealedValues = QList<SealedValue>;

// The values that decide a stored weight or whether it is stored as weighed, as the program
// runs on them: the zero codes a0[0..7] and coefficients ak[0..7] as decoded, the weight's
// factor and rounding (kd, Did, Dis), the platforms and inputs that make up a load (Npl, Nadc),
// the path and rates that turn a passage into a weight (Lp1..Lp3, Fadc, Fflt, Fflt_, tflt,
// Axtr1), the zero limits (Zpwr, Zman, Zaut, Zst), the limits of a weighed wagon (Wmax, Vmax)
// and the weighing method.
SealedValues calibrationValues(const Settings& settings);
// Those of a settings file as the program reads it (a missing key is its default, a damaged
// calibration the values it is reset to); empty when the file is there and cannot be read.
std::optional<SealedValues> calibrationValuesOf(const QString& settingsFile);

// A value found other than sealed.
struct ValueChange {
    QString name, before, after;
    bool operator==(const ValueChange&) const = default;
};
// Each value of `now` whose sealed value differs. A value the seal does not hold (sealed by an
// earlier version that did not cover it) is no change.
QList<ValueChange> changedValues(const SealedValues& sealed, const SealedValues& now);

// "ak[0] 2000000 → 1900000, kd 1000000 → 990000"
QString changesText(const QList<ValueChange>& changes);
// "ak[0] 2000000, kd 1000000" and "ak[0] 1900000, kd 990000": each side, as the event log keeps
// them.
QString valuesBefore(const QList<ValueChange>& changes);
QString valuesAfter(const QList<ValueChange>& changes);

}  // namespace zv
