#include "cli/program_files.h"

#include <QDir>
#include <QFileInfo>

namespace zv {

QString settingsFileAbove(const QString& tablesFolder) {
    QDir folder(QFileInfo(tablesFolder).absoluteFilePath());
    folder.cdUp();
    return folder.absoluteFilePath(QStringLiteral("ZOLVelt.ini"));
}

}  // namespace zv
