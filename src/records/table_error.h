#pragma once

#include <QString>

#include <stdexcept>

namespace zv {

// The one error the table engine raises: a missing or damaged file, a wrong password,
// a refused value or a malformed filter. Callers show what() in the error box.
class TableError : public std::runtime_error {
public:
    explicit TableError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

}  // namespace zv
