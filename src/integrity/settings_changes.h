#pragma once

#include <QMap>
#include <QString>

namespace zv {

struct Settings;

// The values of a settings file, "Section/Key" -> value, for telling what a save changed.
QMap<QString, QString> settingsValues(const QString& path);

// Taken before a save; after it, logs every key the save changed with its old and new value,
// and a calibration save with the zero codes and coefficients in plain numbers (or, without
// one, the change of a key that counts as a calibration). The old value of a key the file
// lacked is the default the program was running on.
class SettingsChanges {
public:
    explicit SettingsChanges(QString path);
    void record(const Settings& saved, bool calibration) const;

private:
    QString path_;
    QMap<QString, QString> before_;    // as the file held them
    QMap<QString, QString> inEffect_;  // as the program ran on them
};

// A change of a key that alters the weights as a new calibration does (the weighing method):
// it is counted and logged as a calibration too.
bool countsAsCalibration(const QString& key, const QString& before, const QString& after);

// "a0: 1000, 1001, …; ak: 50000, …": the calibration of the record in plain numbers.
QString calibrationText(const Settings& settings);

}  // namespace zv
