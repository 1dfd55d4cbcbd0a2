#include "integrity/software_identity.h"

#include <QCryptographicHash>
#include <QFile>

#ifndef ZOLVELT_VERSION
#error "ZOLVELT_VERSION must come from the build's project version"
#endif

namespace zv {

QString programVersion() { return QStringLiteral(ZOLVELT_VERSION); }

QString SoftwareIdentity::text() const {
    return QStringLiteral("ZOLVelt %1 · %2").arg(version, checksum.isEmpty() ? QStringLiteral("?") : checksum);
}

SoftwareIdentity identify(const QString& executable) {
    SoftwareIdentity identity{programVersion(), {}};
    QFile file(executable);
    if (!file.open(QIODevice::ReadOnly)) return identity;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (hash.addData(&file)) identity.checksum = QString::fromLatin1(hash.result().toHex().left(8));
    return identity;
}

SoftwareIdentity identifyRunningProgram() { return identify(QStringLiteral("/proc/self/exe")); }

}  // namespace zv
