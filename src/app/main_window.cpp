#include "app/main_window.h"

TMain::TMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Main");
    setWindowTitle("ZOLVelt");
}
