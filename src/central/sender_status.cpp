#include "central/sender_status.h"

namespace zv::central {

namespace {

QString stateText(const SenderStatus& status) {
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
    const QString text = head + QStringLiteral("нет связи, в очереди %1").arg(status.queued);
    if (!status.lastTransfer.isValid()) return text;  // nothing went yet
    return text + QStringLiteral(", последняя передача %1").arg(status.lastTransfer.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
}

}  // namespace

QString statusText(const SenderStatus& status) {
    const QString text = stateText(status);
    if (text.isEmpty() || status.rejected == 0) return text;
    return text + QStringLiteral(", отклонено сервером: %1").arg(status.rejected);
}

}  // namespace zv::central
