#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

namespace zv::test {

// While it lives, every warning Qt logs is recorded (and passed on to the handler before
// it); the ones that mean a fault in the program are told apart.
class FaultWarnings {
  public:
    FaultWarnings();
    ~FaultWarnings();
    FaultWarnings(const FaultWarnings&) = delete;
    FaultWarnings& operator=(const FaultWarnings&) = delete;

    // Called at once for each fault warning, with its text.
    void onFault(std::function<void(const QString&)> handler) { onFault_ = std::move(handler); }
    int warnings() const { return warnings_; }
    const QStringList& faults() const { return faults_; }

    static bool meansFault(const QString& text);

  private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QtMessageHandler previous_ = nullptr;
    std::function<void(const QString&)> onFault_;
    int warnings_ = 0;
    QStringList faults_;
};

}  // namespace zv::test
