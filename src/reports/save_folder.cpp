#include "reports/save_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "privilege/operator_rights.h"

namespace zv {

namespace {

const QString kKey = QStringLiteral("save/folder");

QSettings userSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZOLVelt"),
                     QStringLiteral("reports"));
}

bool sameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool usable(const QString& folder, const QString& programFolder) {
    if (folder.isEmpty()) return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable() && !sameFolder(folder, programFolder);
}

}  // namespace

QString proposedSaveFolder(const SavePlaces& places) {
    for (const QString& folder : {places.remembered, places.documents, places.home})
        if (usable(folder, places.programFolder)) return QDir::cleanPath(folder);
    return QDir::tempPath();
}

// The remembered folder lives in the operator's home: read and written with the operator's
// own rights, so that a link planted there leads nowhere the records group could write.
SavePlaces currentSavePlaces() {
    const OperatorRights rights;
    SavePlaces places;
    places.remembered = userSettings().value(kKey).toString();
    places.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    places.home = QDir::homePath();
    places.programFolder = QCoreApplication::applicationDirPath();
    return places;
}

void rememberSaveFolder(const QString& folder) {
    if (sameFolder(folder, QCoreApplication::applicationDirPath())) return;
    const OperatorRights rights;
    QSettings settings = userSettings();
    settings.setValue(kKey, QDir::cleanPath(folder));
}

QString fileNameOf(QString name) {
    for (const QChar c : QStringLiteral("\\/:*?\"<>|"))
        name.replace(c, QLatin1Char('-'));
    return name;
}

}  // namespace zv
