#include "integrity_ui/records_check.h"

#include "admin/pass_dlg.h"
#include "admin/setup_w.h"
#include "integrity/event_kinds.h"
#include "integrity/records_integrity.h"
#include "ui/message_service.h"

namespace zv {

namespace {

const QString kFound = QStringLiteral("Обнаружены изменения записей в обход программы:\r\n");

const QString kWhoAcknowledges =
    QStringLiteral("\r\nПодтвердить их может наладчик: \"Базы данных\" - \"Проверить целостность записей\"");

QString findingsText(const QStringList& findings) { return kFound + findings.join(QStringLiteral("\r\n")); }

void showLastError(RecordsIntegrity& integrity) {
    if (const QString error = integrity.takeError(); !error.isEmpty()) Messages::error(error);
}

}  // namespace

void checkRecordsAtStartUp(RecordsIntegrity& integrity) {
    if (!integrity.ready()) return showLastError(integrity);
    integrity.check();
    showLastError(integrity);
    const QStringList findings = integrity.outstanding();
    if (findings.isEmpty()) return;
    Messages::error(findingsText(findings) + kWhoAcknowledges);
}

void noteWitnessFindings(RecordsIntegrity& integrity, const QList<WitnessFinding>& findings) {
    if (!integrity.ready()) return;
    const QStringList known = integrity.outstanding();
    QStringList added;
    for (const WitnessFinding& finding : findings) {
        if (known.contains(finding.text)) continue;
        integrity.record(event_kind::IntegrityFinding, finding.title, {}, finding.text);
        added.append(finding.text);
    }
    showLastError(integrity);
    if (!added.isEmpty()) Messages::error(findingsText(added) + kWhoAcknowledges);
}

void checkRecordsOnDemand(RecordsIntegrity& integrity) {
    if (!integrity.ready()) return showLastError(integrity);
    integrity.check();
    showLastError(integrity);
    const QStringList findings = integrity.outstanding();
    if (findings.isEmpty()) return Messages::information(QStringLiteral("Записи не изменялись в обход программы"));
    if (!Messages::warningQuestion(findingsText(findings) + QStringLiteral("\r\n\r\nПодтвердить (нужен код доступа)?")))
        return;
    TPassDlg code;
    if (!code.confirms(QString::fromLatin1(TSetupW::AccessCode))) return;
    integrity.acknowledge();
    showLastError(integrity);
    Messages::information(QStringLiteral("Нарушения подтверждены и записаны в журнал событий"));
}

}  // namespace zv
