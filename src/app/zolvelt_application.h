#pragma once

#include <QApplication>
#include <QString>

// The program's application object. It speaks Russian in Qt's own buttons and dialogs, and
// it is the last line of defence of the event loop: an exception a handler let through is
// reported to the operator and the program goes on with the next event.
class ZolveltApplication : public QApplication {
    Q_OBJECT
  public:
    ZolveltApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void report(const QString& text);

    bool reporting_ = false;
    QString lastReported_;
};

// Loads Qt's own Russian texts (standard buttons, file and print dialogs) into the
// application; false when they are not installed.
bool installQtRussian(QCoreApplication& app);
