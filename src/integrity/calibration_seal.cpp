#include "integrity/calibration_seal.h"

#include <QFile>
#include <QSaveFile>

#include "integrity/seal_hash.h"

namespace zv {

namespace {

// The first line keeps the hash of this file apart from that of the heads, made with the same key.
const QByteArray kFirstLine = "ZOLVelt calibration\n";
const QByteArray kMacPrefix = "mac ";

QByteArray body(const SealedValues& values) {
    QByteArray text = kFirstLine;
    for (const SealedValue& value : values)
        text += value.name.toUtf8() + '=' + value.value.toUtf8() + '\n';
    return text;
}

SealedValues valuesOf(const QByteArray& text) {
    SealedValues values;
    for (const QByteArray& line : text.mid(kFirstLine.size()).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            values.append(
                {QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1))});
    }
    return values;
}

}  // namespace

CalibrationSeal readCalibrationSeal(const QString& path, const QByteArray& key) {
    QFile file(path);
    if (!file.exists()) return {CalibrationSeal::State::Missing, {}};
    if (!file.open(QIODevice::ReadOnly)) return {CalibrationSeal::State::Unreadable, {}};
    const QByteArray all = file.readAll();
    const qsizetype macAt = all.lastIndexOf('\n' + kMacPrefix);
    if (macAt < 0) return {CalibrationSeal::State::Broken, {}};
    const QByteArray text = all.left(macAt + 1);
    const QByteArray mac = all.mid(macAt + 1 + kMacPrefix.size()).trimmed();
    if (!text.startsWith(kFirstLine) || mac != sealMacOf(key, text))
        return {CalibrationSeal::State::Broken, {}};
    return {CalibrationSeal::State::Intact, valuesOf(text)};
}

bool writeCalibrationSeal(const QString& path, const QByteArray& key, const SealedValues& values) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray text = body(values);
    file.write(text);
    file.write(kMacPrefix + sealMacOf(key, text) + '\n');
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::WriteGroup);
    return file.commit();
}

}  // namespace zv
