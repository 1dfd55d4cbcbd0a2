#pragma once

#include <QString>
#include <stdexcept>

namespace zv {

// Raised by the report engine for a layout or expression it cannot run, and by the
// exports when a file cannot be written. The text is meant for the operator's error box.
class ReportError : public std::runtime_error {
  public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

}  // namespace zv
