#include "support/qt_test_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>
#include <array>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstdlib>

namespace zv::test {
namespace {

// Fragments of Qt's own warnings that are never harmless.
constexpr std::array<const char*, 6> kFaults = {
    "exception thrown from an event handler",
    "does not belong to this view",  // an editor or an index of another view
    "from wrong model",              // an index of another model given to a proxy
    "from different model",          // selecting indexes of another model
    "works on a different model",    // a selection model of another model
    "QObject::connect:",             // a connection that was not made
};

QtMessageHandler previousHandler = nullptr;
ExpectedQtWarning* expected = nullptr;

bool isFault(const QString& message) {
    for (const char* fault : kFaults)
        if (message.contains(QLatin1String(fault), Qt::CaseInsensitive)) return true;
    return false;
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg && isFault(message) && !takeExpected(message))
        ADD_FAILURE() << "Qt reported a fault: " << message.toStdString();
    if (previousHandler) previousHandler(type, context, message);
}

QString screensPath() {
    return QDir::temp().filePath(QStringLiteral("zolvelt-test-screens-%1.json").arg(QCoreApplication::applicationPid()));
}

// The offscreen screens: a desktop monitor, where windows open, and the two yard screens
// beside it, for the tests of windows on a small screen.
QByteArray screensFile() {
    const QByteArray config = R"({"synthesizedCursor": true, "screens": [
 {"name": "Desktop", "x": 0, "y": 0, "width": 1920, "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
 {"name": "Yard1366x768", "x": 1920, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
 {"name": "Yard1280x1024", "x": 3286, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    QSaveFile file(screensPath());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(config);
        file.commit();
    }
    std::atexit([] { QFile::remove(screensPath()); });
    return QFile::encodeName(screensPath());
}

}  // namespace

bool takeExpected(const QString& message) {
    for (ExpectedQtWarning* e = expected; e; e = e->previous_) {
        if (message.contains(e->text_, Qt::CaseInsensitive)) {
            ++e->count_;
            return true;
        }
    }
    return false;
}

ExpectedQtWarning::ExpectedQtWarning(QString text) : text_(std::move(text)), previous_(expected) {
    expected = this;
}

ExpectedQtWarning::~ExpectedQtWarning() { expected = previous_; }

void useOffscreenPlatform() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screensFile());
    qunsetenv("QT_QPA_PLATFORMTHEME");
}

void installQtFaultWarnings() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    previousHandler = qInstallMessageHandler(handle);
}

int runQtTests(int argc, char** argv) {
    installQtFaultWarnings();
    // What a window keeps in the user's settings (the file dialog's history, the folder a
    // report was saved into) stays in a folder of the run's own.
    static QTemporaryDir userSettings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userSettings.path());
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace zv::test
