#include "integrity/seal_key.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

namespace zv {

namespace {

constexpr int kKeyBytes = 32;

}  // namespace

SealPaths sealPathsBeside(const QString& settingsFile) {
    const QFileInfo info(settingsFile);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QDir folder = QFileInfo(target).absoluteDir();
    SealPaths paths;
    paths.key = folder.filePath(QStringLiteral("ZOLVelt.key"));
    paths.heads = folder.filePath(QStringLiteral("ZOLVelt.seals"));
    paths.code = folder.filePath(QStringLiteral("ZOLVelt.code"));
    paths.calibration = folder.filePath(QStringLiteral("ZOLVelt.calib"));
    return paths;
}

QByteArray loadSealKey(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray key = QByteArray::fromHex(file.readAll().trimmed());
    return key.size() >= 16 ? key : QByteArray();
}

QByteArray loadOrCreateSealKey(const QString& path, QString* error) {
    if (QFileInfo::exists(path)) {
        QByteArray key = loadSealKey(path);
        if (key.isEmpty() && error) *error = QStringLiteral("Не удается прочитать ключ печатей %1").arg(path);
        return key;
    }
    QByteArray key(kKeyBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(key.data()),
                                         reinterpret_cast<quint32*>(key.data() + key.size()));
    if (!writeKeptFile(path, key.toHex() + '\n')) {
        if (error) *error = QStringLiteral("Не удается создать ключ печатей %1").arg(path);
        return {};
    }
    return key;
}

bool writeKeptFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup) &&
           file.commit();
}

}  // namespace zv
