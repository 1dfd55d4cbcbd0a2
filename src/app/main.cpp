#include <QDir>
#include <iostream>

#include "app/app_windows.h"
#include "app/main_window.h"
#include "app/zolvelt_application.h"
#include "privilege/secure_start.h"

int main(int argc, char* argv[]) {
    if (const std::string refusal = zv::secureStart(); !refusal.empty()) {
        std::cerr << refusal << '\n';
        return 126;
    }
    ZolveltApplication app(argc, argv);
    QApplication::setApplicationName("ZOLVelt");
    const QString programFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath() + "/";
    TMain mainWindow(programFolder);
    mainWindow.setWindows(createAppWindows(&mainWindow));
    mainWindow.show();
    if (!mainWindow.Prepare()) return 1;
    return QApplication::exec();
}
