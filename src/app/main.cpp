#include <QApplication>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ZOLVelt");
    TMain mainWindow;
    mainWindow.show();
    return QApplication::exec();
}
