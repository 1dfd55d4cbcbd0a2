#include "central/password_file.h"

#include "integrity/seal_key.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>

namespace zv::central {

namespace {

QMutex passwordFileMutex;
QString chosenPasswordFile;

// The five fields of one line, with the escapes taken out; fewer when the line is not one.
QStringList fieldsOf(const QString& line) {
    QStringList fields{QString()};
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\\' && i + 1 < line.size()) {
            fields.last() += line[++i];
        } else if (c == u':' && fields.size() < 5) {
            fields.append(QString());
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

bool matches(const QString& field, const QString& value) { return field == u'*' || field == value; }

}  // namespace

QString passwordFileBeside(const QString& settingsFile) {
    // With the key, where a settings file reached through a link really lies.
    return QFileInfo(sealPathsBeside(settingsFile).key).dir().filePath(QStringLiteral("ZOLVelt.pgpass"));
}

QString passwordFor(const QString& passwordFile, const ConnectionParams& params) {
    QFile file(passwordFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    const QString host = params.value(QStringLiteral("host")), port = params.value(QStringLiteral("port"));
    const QString database = params.value(QStringLiteral("dbname")), user = params.value(QStringLiteral("user"));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList f = fieldsOf(line);
        if (f.size() == 5 && matches(f[0], host) && matches(f[1], port) && matches(f[2], database) && matches(f[3], user))
            return f[4];
    }
    return {};
}

void usePasswordFile(const QString& passwordFile) {
    const QMutexLocker lock(&passwordFileMutex);
    chosenPasswordFile = passwordFile;
}

void addPasswordFromFile(ConnectionParams& params) {
    QString file;
    {
        const QMutexLocker lock(&passwordFileMutex);
        file = chosenPasswordFile;
    }
    if (file.isEmpty()) return;
    const QString password = passwordFor(file, params);
    if (!password.isEmpty()) params.set(QStringLiteral("password"), password);
}

}  // namespace zv::central
