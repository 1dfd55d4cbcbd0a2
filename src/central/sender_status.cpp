#include "central/sender_status.h"

namespace zv::central {

QString statusText(const SenderStatus& status) {
    using S = SenderStatus::State;
    const QString head = QStringLiteral("Центральная база: ");
    switch (status.state) {
    case S::Off:
        return {};
    case S::Sent:
        return head + QStringLiteral("передано");
    case S::Sending:
        return head + QStringLiteral("передача, в очереди %1").arg(status.queued);
    case S::Failing:
        break;
    }
    const QString last = status.lastTransfer.isValid()
                             ? QStringLiteral("последняя передача %1").arg(status.lastTransfer.toString(QStringLiteral("dd.MM.yyyy hh:mm")))
                             : QStringLiteral("передач еще не было");
    return head + QStringLiteral("нет связи, в очереди %1, %2").arg(status.queued).arg(last);
}

}  // namespace zv::central
