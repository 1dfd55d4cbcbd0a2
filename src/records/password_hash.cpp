#include "records/password_hash.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace zv {

namespace {

constexpr int kRounds = 2048;

QByteArray digest(const QByteArray& salt, const QString& password) {
    QByteArray value = salt + password.toUtf8();
    for (int i = 0; i < kRounds; ++i) value = QCryptographicHash::hash(salt + value, QCryptographicHash::Sha256);
    return value;
}

}  // namespace

PasswordHash PasswordHash::make(const QString& password) {
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), salt.size() / 4);
    return {salt, digest(salt, password)};
}

bool PasswordHash::matches(const QString& password) const { return digest(salt, password) == hash; }

}  // namespace zv
