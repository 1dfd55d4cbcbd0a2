#include "integrity/events.h"

#include "integrity/calibration_counter.h"
#include "integrity/event_kinds.h"
#include "integrity/records_integrity.h"
#include "records/table_error.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace zv {

namespace {

RecordsIntegrity* current = nullptr;

}  // namespace

void Events::install(RecordsIntegrity* integrity) { current = integrity; }

RecordsIntegrity* Events::installed() { return current; }

void Events::record(const QString& kind, const QString& subject, const QString& oldValue, const QString& newValue) {
    if (current) current->record(kind, subject, oldValue, newValue);
}

AccessCode Events::accessCode() { return current ? current->accessCode() : AccessCode(); }

void Events::recordRecordsMessage(const QString& text) {
    if (text.contains(QStringLiteral("Для новой установки"))) {
        record(event_kind::TableCreated, QStringLiteral("Новая установка"), {}, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        return;
    }
    if (!text.contains(QStringLiteral("Будет создана"))) return;
    // The table by its quoted title, the book by its file name on the last line.
    const QRegularExpressionMatch quoted = QRegularExpression(QStringLiteral("\"([^\"]+)\"")).match(text);
    const QString subject = quoted.hasMatch() ? quoted.captured(1) : text.section(QStringLiteral("\r\n"), -1);
    record(event_kind::TableCreated, subject, {}, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
}

void Events::recordTableError(const QString& text) {
    const QString wrongPassword = QStringLiteral("Неверный пароль таблицы ");
    if (text.startsWith(wrongPassword)) record(event_kind::WrongTablePassword, text.mid(wrongPassword.size()));
}

void Events::bookArchived(const QString& archiveName, const QString& archiveFolder) {
    if (!current) return;
    current->collect();
    const QString copy = QDir(archiveFolder).filePath(QString::fromLatin1(EventLog::kFileName));
    const bool copied = current->log().isOpen() && QFile::copy(current->log().filePath(), copy);
    record(event_kind::BookArchived, archiveName, {},
           copied ? QStringLiteral("архив %1 с журналом событий").arg(archiveFolder)
                  : QStringLiteral("архив %1, журнал событий не скопирован").arg(archiveFolder));
}

void Events::checkCalibration() {
    if (current) current->checkCalibration();
}

QString Events::sealCalibration() {
    if (!current || current->sealCalibration()) return {};
    return current->takeError();
}

QString Events::calibrationCaption() {
    if (!current || !current->log().isOpen()) return {};
    try {
        return calibrationCounter(current->log()).caption();
    } catch (const TableError&) {
        return {};  // a log that cannot be read is reported where it is read for itself
    }
}

}  // namespace zv
