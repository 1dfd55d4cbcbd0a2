#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

namespace zv::central {

// What the sender last saw, as the main window's status bar shows it.
struct SenderStatus {
    enum class State { Off, Sending, Sent, Failing };
    State state = State::Off;
    qint64 queued = 0;
    QDateTime lastTransfer;  // the last batch the server committed; invalid when none yet
    QString error;           // why the last attempt failed
    qint64 rejected = 0;     // entries the server refused, kept aside in the files
};

// "Центральная база: передано" / "Центральная база: нет связи, в очереди 37, последняя
// передача 10.12.2026 14:05" (without the last transfer when none ever went); empty
// when sending is off. Entries the server refused add ", отклонено сервером: 2".
QString statusText(const SenderStatus& status);

}  // namespace zv::central

Q_DECLARE_METATYPE(zv::central::SenderStatus)
