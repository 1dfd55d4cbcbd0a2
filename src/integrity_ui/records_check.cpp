#include "integrity_ui/records_check.h"

#include "admin/pass_dlg.h"
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

// The one place where an engineer's say over the records is asked for.
bool engineerConfirms(const RecordsIntegrity& integrity) {
    TPassDlg code;
    return code.confirms(integrity.accessCode());
}

QString sealedList(const QList<SealedTable>& sealed) {
    QStringList lines;
    for (const SealedTable& table : sealed) lines.append(sealedText(table));
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace

void checkRecordsAtStartUp(RecordsIntegrity& integrity) {
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
    // Without a key nothing can be acknowledged: what is wrong is told as at start-up.
    if (!integrity.ready()) return checkRecordsAtStartUp(integrity);
    integrity.check();
    showLastError(integrity);
    const QStringList findings = integrity.outstanding();
    if (findings.isEmpty()) return Messages::information(QStringLiteral("Записи не изменялись в обход программы"));
    if (!Messages::warningQuestion(findingsText(findings) + QStringLiteral("\r\n\r\nПодтвердить (нужен код доступа)?")))
        return;
    if (!engineerConfirms(integrity)) return;
    integrity.acknowledge();
    showLastError(integrity);
    Messages::information(QStringLiteral("Нарушения подтверждены и записаны в журнал событий"));
}

void sealRecordsOnDemand(RecordsIntegrity& integrity) {
    if (!integrity.ready()) return checkRecordsAtStartUp(integrity);
    const QStringList unsealed = integrity.unsealedTables();
    showLastError(integrity);
    if (unsealed.isEmpty()) return Messages::information(QStringLiteral("Все таблицы опечатаны"));
    if (!Messages::warningQuestion(QStringLiteral("Не опечатаны:\r\n%1\r\n\r\nОпечатать их записи в нынешнем виде? "
                                                  "Они станут образцом для следующих проверок (нужен код доступа).")
                                       .arg(unsealed.join(QStringLiteral("\r\n")))))
        return;
    if (!engineerConfirms(integrity)) return;
    const QList<SealedTable> sealed = integrity.sealUnsealed(integrity.log().operatorName());
    showLastError(integrity);
    if (!sealed.isEmpty()) Messages::information(QStringLiteral("Опечатано и записано в журнал событий:\r\n") + sealedList(sealed));
}

}  // namespace zv
