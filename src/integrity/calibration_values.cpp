#include "integrity/calibration_values.h"

#include <QStringList>

#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

namespace zv {

namespace {

struct SealedKey {
    const char* name;
    int32_t Settings::*field;
};

// In the order they are sealed, after the zero codes and the coefficients.
constexpr SealedKey kSealedKeys[] = {
    {"kd", &Settings::kd},       {"Did", &Settings::Did},
    {"Dis", &Settings::Dis},     {"Npl", &Settings::Npl},
    {"Nadc", &Settings::Nadc},   {"Lp1", &Settings::Lp1},
    {"Lp2", &Settings::Lp2},     {"Lp3", &Settings::Lp3},
    {"Fadc", &Settings::Fadc},   {"Fflt", &Settings::Fflt},
    {"Fflt_", &Settings::Fflt_}, {"tflt", &Settings::tflt},
    {"Axtr1", &Settings::Axtr1}, {"Zpwr", &Settings::Zpwr},
    {"Zman", &Settings::Zman},   {"Zaut", &Settings::Zaut},
    {"Zst", &Settings::Zst},     {"Wmax", &Settings::Wmax},
    {"Vmax", &Settings::Vmax},   {"WeighMethod", &Settings::WeighMethod},
};

template <size_t N>
void appendInputs(SealedValues& values, const char* name, const std::array<int32_t, N>& inputs) {
    for (size_t i = 0; i < N; ++i)
        values.append(
            {QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(i), QString::number(inputs[i])});
}

QString sideText(const QList<ValueChange>& changes, QString ValueChange::*side) {
    QStringList texts;
    for (const ValueChange& change : changes) texts.append(change.name + u' ' + change.*side);
    return texts.join(QStringLiteral(", "));
}

QString sealedValueOf(const SealedValues& values, const QString& name) {
    for (const SealedValue& value : values)
        if (value.name == name) return value.value;
    return {};
}

}  // namespace

SealedValues calibrationValues(const Settings& settings) {
    SealedValues values;
    appendInputs(values, "a0", settings.a0);
    appendInputs(values, "ak", settings.ak);
    for (const SealedKey& key : kSealedKeys)
        values.append({QString::fromLatin1(key.name), QString::number(settings.*key.field)});
    return values;
}

std::optional<SealedValues> calibrationValuesOf(const QString& settingsFile) {
    if (!IniFile::load(settingsFile.toStdString()).readable()) return std::nullopt;
    Settings running;
    SettingsEffects none;
    readIniFile(settingsFile.toStdString(), running, none);
    return calibrationValues(running);
}

QList<ValueChange> changedValues(const SealedValues& sealed, const SealedValues& now) {
    QList<ValueChange> changes;
    for (const SealedValue& value : now) {
        const QString before = sealedValueOf(sealed, value.name);
        if (!before.isNull() && before != value.value)
            changes.append({value.name, before, value.value});
    }
    return changes;
}

QString changesText(const QList<ValueChange>& changes) {
    QStringList texts;
    for (const ValueChange& change : changes)
        texts.append(QStringLiteral("%1 %2 → %3").arg(change.name, change.before, change.after));
    return texts.join(QStringLiteral(", "));
}

QString valuesBefore(const QList<ValueChange>& changes) {
    return sideText(changes, &ValueChange::before);
}

QString valuesAfter(const QList<ValueChange>& changes) {
    return sideText(changes, &ValueChange::after);
}

}  // namespace zv
