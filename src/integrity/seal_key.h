#pragma once

#include <QByteArray>
#include <QString>

namespace zv {

// Where the seal key and the chain heads live: beside the settings file, outside the tables
// folder (a settings file reached through a symbolic link counts where the link points).
struct SealPaths {
    QString key;          // "ZOLVelt.key"
    QString heads;        // "ZOLVelt.seals"
    QString code;         // "ZOLVelt.code", the installation's access code
    QString calibration;  // "ZOLVelt.calib"
};
SealPaths sealPathsBeside(const QString& settingsFile);

// Reads the installation's key, making it first when there is none (random, 32 bytes, hex,
// readable by the owner and the group only). Empty with *error set when it cannot be read or made.
QByteArray loadOrCreateSealKey(const QString& path, QString* error);
// Reads the key without ever making one; empty when missing or unreadable.
QByteArray loadSealKey(const QString& path);

// Replaces a file kept beside the key (the key, the access code) in one step, readable and
// writable by the owner and readable by the group only; false when it cannot be written.
bool writeKeptFile(const QString& path, const QByteArray& content);

}  // namespace zv
