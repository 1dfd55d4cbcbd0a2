#pragma once

#include <QString>

namespace zv {

// What identifies the running program: its version (the build's project version) and the
// first eight hexadecimal digits of the SHA-256 of its executable file.
struct SoftwareIdentity {
    QString version;
    QString checksum;  // empty when the file cannot be read

    // "ZOLVelt 0.2 · 3f9a1c07"
    QString text() const;
};

QString programVersion();
// Reads the whole file once; a checksum of "?" when it cannot be read.
SoftwareIdentity identify(const QString& executable);
// The identity of the file the kernel runs (/proc/self/exe), whatever path or name the
// program was started by or is told about itself.
SoftwareIdentity identifyRunningProgram();

}  // namespace zv
