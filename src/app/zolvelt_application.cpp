#include "app/zolvelt_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "ui/message_service.h"

ZolveltApplication::ZolveltApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Without them the program still works, with Qt's English on its standard buttons.
    if (!installQtRussian(*this))
        qWarning("Qt's Russian translations were not found in %s",
                 qUtf8Printable(QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
}

bool ZolveltApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        report(QString::fromUtf8(e.what()));
    } catch (...) {
        report(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

// Once per fault: the same text again, or a fault inside the box that shows one, goes to
// the log only, so that a fault on every tick never buries the operator in boxes.
void ZolveltApplication::report(const QString& text) {
    qCritical("Caught an exception thrown from an event handler: %s", qUtf8Printable(text));
    if (reporting_ || text == lastReported_) return;
    lastReported_ = text;
    reporting_ = true;
    try {
        zv::Messages::error(text);
    } catch (...) {
    }
    reporting_ = false;
}

bool installQtRussian(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
