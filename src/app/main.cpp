#include <QDir>

#include "app/app_windows.h"
#include "app/main_window.h"
#include "app/zolvelt_application.h"

int main(int argc, char* argv[]) {
    ZolveltApplication app(argc, argv);
    QApplication::setApplicationName("ZOLVelt");
    const QString programFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath() + "/";
    TMain mainWindow(programFolder);
    mainWindow.setWindows(createAppWindows(&mainWindow));
    mainWindow.show();
    if (!mainWindow.Prepare()) return 1;
    return QApplication::exec();
}
