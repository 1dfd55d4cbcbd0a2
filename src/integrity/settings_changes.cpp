#include "integrity/settings_changes.h"

#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/windows1251.h"

#include <QFile>
#include <QSet>
#include <QStringList>

namespace zv {

namespace {

QMap<QString, QString> valuesOfFileText(const QByteArray& bytes) {
    QMap<QString, QString> values;
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    const QString text = utf8 ? QString::fromUtf8(bytes.mid(3))
                              : QString::fromStdString(cp1251ToUtf8(std::string_view(bytes.constData(), bytes.size())));
    QString section;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || line.startsWith(u';')) continue;
        const QString key = section + u'/' + line.left(equals).trimmed();
        if (!values.contains(key)) values.insert(key, line.mid(equals + 1).trimmed());  // the first one wins
    }
    return values;
}

// The values the program runs on: a key the file lacks holds the default the program reads for
// it, so a save that writes that default changes nothing.
QMap<QString, QString> valuesInEffect(const QString& path) {
    Settings running;
    SettingsEffects none;
    readIniFile(path.toStdString(), running, none);
    IniFile ini = IniFile::load(path.toStdString());
    if (!ini.readable() || !writeSettings(ini, running, CalibrationKeys::Keep)) return settingsValues(path);
    const std::string bytes = ini.bytes();
    return valuesOfFileText(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace

QMap<QString, QString> settingsValues(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return valuesOfFileText(file.readAll());
}

SettingsChanges::SettingsChanges(QString path)
    : path_(std::move(path)), before_(settingsValues(path_)), inEffect_(valuesInEffect(path_)) {}

bool countsAsCalibration(const QString& key, const QString& before, const QString& after) {
    // An absent key is the defined method, 0, as the program reads it.
    return key == QStringLiteral("Scales/WeighMethod") && before.trimmed().toInt() != after.trimmed().toInt();
}

QString calibrationText(const Settings& settings) {
    QStringList zero, coefficient;
    for (int32_t value : settings.a0) zero.append(QString::number(value));
    for (int32_t value : settings.ak) coefficient.append(QString::number(value));
    return QStringLiteral("a0: %1; ak: %2").arg(zero.join(QStringLiteral(", ")), coefficient.join(QStringLiteral(", ")));
}

void SettingsChanges::record(const Settings& saved, bool calibration) const {
    const QMap<QString, QString> after = settingsValues(path_);
    QStringList keys = before_.keys() + after.keys();
    keys.removeDuplicates();
    keys.sort(Qt::CaseInsensitive);
    for (const QString& key : keys) {
        const QString old = inEffect_.value(key, before_.value(key));
        const bool wasInEffect = inEffect_.contains(key) || before_.contains(key);
        if (after.contains(key) && wasInEffect && old == after.value(key)) continue;
        Events::record(event_kind::SettingChanged, key, old, after.value(key));
        // A calibration saved along with it is counted once already.
        if (!calibration && countsAsCalibration(key, old, after.value(key)))
            Events::record(event_kind::Calibration, key, old, after.value(key));
    }
    if (calibration) Events::record(event_kind::Calibration, QStringLiteral("Калибровка"), {}, calibrationText(saved));
}

}  // namespace zv
