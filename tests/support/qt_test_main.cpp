// main() for test executables that need a QApplication (widgets under the offscreen platform).
#include <QApplication>

#include "support/qt_test_run.h"

int main(int argc, char** argv) {
    zv::test::useOffscreenPlatform();
    QApplication app(argc, argv);
    return zv::test::runQtTests(argc, argv);
}
