#pragma once

#include <QByteArray>
#include <QString>

namespace zv {

// Salted, iterated SHA-256 of a table password, kept inside a protected table file.
struct PasswordHash {
    QByteArray salt;
    QByteArray hash;

    static PasswordHash make(const QString& password);  // with a fresh random salt
    bool matches(const QString& password) const;
};

}  // namespace zv
