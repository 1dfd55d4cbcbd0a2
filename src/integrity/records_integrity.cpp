#include "integrity/records_integrity.h"

#include "integrity/calibration_check.h"
#include "integrity/calibration_seal.h"
#include "integrity/event_action.h"
#include "integrity/event_kinds.h"
#include "integrity/pending_events.h"
#include "integrity/seal_chain.h"
#include "records/records_database.h"
#include "records/records_notifier.h"
#include "records/table.h"
#include "records/table_error.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

namespace zv {

namespace {

QString canonical(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

SealFinding checkFile(const QString& path, const QString& table, const QByteArray& key, const SealHeads& heads) {
    SqliteFile file;
    file.open(path, false);
    return checkSeals(file, table, tableTitle(QFileInfo(path).fileName()), key, heads.head(canonical(path)));
}

// The table whose rows a file of the folder holds sealed; empty for the other files.
QString sealedTableOf(const QString& fileName) {
    if (fileName.compare(QStringLiteral("Trains.db"), Qt::CaseInsensitive) == 0) return QStringLiteral("Trains");
    if (fileName.compare(QStringLiteral("Wagons.db"), Qt::CaseInsensitive) == 0) return QStringLiteral("Wagons");
    if (fileName.startsWith(QStringLiteral("Book"), Qt::CaseInsensitive)) return QStringLiteral("Book");
    if (fileName.compare(QString::fromLatin1(EventLog::kFileName), Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(EventLog::kTable);
    return {};
}

// The files of the folder that held sealed rows when last seen and are gone now. The program
// itself never removes one (archiving copies), so each was removed behind its back.
QStringList deletedFilesIn(const QString& folder, const SealHeads& heads) {
    QStringList gone;
    const QString dir = canonical(folder);
    for (const QString& path : heads.files()) {
        const QFileInfo info(path);
        if (info.absolutePath() == dir && !info.exists() && !sealedTableOf(info.fileName()).isEmpty() &&
            heads.head(path)->n > 0)
            gone.append(path);
    }
    return gone;
}

constexpr int kActionWaitMs = 100;

const QString kLogMissing = QStringLiteral("Не найден журнал событий!\r\nБудет создан новый журнал событий");

}  // namespace

RecordsIntegrity::RecordsIntegrity(RecordsDatabase& records, RecordsNotifier& notifier, const QString& settingsFile)
    : records_(records),
      notifier_(notifier),
      settingsFile_(settingsFile),
      paths_(sealPathsBeside(settingsFile)),
      log_(records.clock()) {
    key_ = loadOrCreateSealKey(paths_.key, &lastError_);
    if (key_.isEmpty()) return;  // nothing is sealed without a key; the error is shown by the caller
    // A fresh installation's calibration is sealed as it starts; once there are chain heads a
    // missing calibration seal is a finding.
    if (!QFileInfo::exists(paths_.calibration) && !QFileInfo::exists(paths_.heads)) sealCalibration();
    heads_ = std::make_unique<SealHeads>(paths_.heads, key_);
    if (!heads_->load()) lastError_ = QStringLiteral("Список печатей %1 изменен в обход программы").arg(paths_.heads);
    sealer_ = std::make_unique<RecordSealer>(key_);
    rowEvents_ = std::make_unique<RowEvents>(log_, [this] { collectSoon(); });
    records_.connection().addWriteListener(sealer_.get());
    records_.connection().addWriteListener(rowEvents_.get());
}

RecordsIntegrity::~RecordsIntegrity() {
    if (sealer_) records_.connection().removeWriteListener(sealer_.get());
    if (rowEvents_) records_.connection().removeWriteListener(rowEvents_.get());
}

void RecordsIntegrity::tablesOpened() {
    if (!ready()) return;
    try {
        const QString folder = records_.connection().folder();
        // A new installation's log is made with its tables, under the tables' one message.
        if (!QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(EventLog::kFileName))) && !records_.openedNewFolder())
            notifier_.information(kLogMissing);
        if (log_.open(folder, key_)) record(event_kind::TableCreated, tableTitle(QString::fromLatin1(EventLog::kFileName)));
        sealUnsealedTables();
        collect();
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
}

void RecordsIntegrity::sealUnsealedTables() {
    for (Table* table : {&records_.Trains(), &records_.Wagons(), &records_.Book()}) {
        if (!table->isOpen() || table->inBatch()) continue;
        SqliteFile& file = table->sqliteFile();
        if (seals::isSealed(file)) continue;
        file.exec(QStringLiteral("BEGIN IMMEDIATE"));
        int rows = 0;
        try {
            rows = seals::sealExistingRows(file, key_, table->def().name);
            pending::ensureTable(file);
            file.exec(QStringLiteral("COMMIT"));
        } catch (...) {
            file.exec(QStringLiteral("ROLLBACK"));
            throw;
        }
        // A table just made has nothing to tell; one of an earlier version says what was sealed.
        if (rows > 0)
            record(event_kind::TableSealed, tableTitle(table->fileName()), {}, QStringLiteral("опечатано записей: %1").arg(rows));
    }
}

void RecordsIntegrity::record(const QString& kind, const QString& subject, const QString& oldValue, const QString& newValue) {
    if (!ready()) return;  // without a key there is no log
    const Event event{0, log_.clock().now(), log_.operatorName(), kind, subject, oldValue, newValue};
    if (!log_.isOpen()) return waiting_.append(event);
    try {
        for (const Event& early : std::exchange(waiting_, {})) log_.append(early);
        log_.append(event);
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
}

void RecordsIntegrity::collect() {
    if (!log_.isOpen()) return;
    // An action's one event grows with each of its rows; it is taken once the action is over
    // (an action may wait for the operator in a message box meanwhile).
    if (EventAction::current()) return collectSoon(kActionWaitMs);
    try {
        for (Table* table : {&records_.Trains(), &records_.Wagons(), &records_.Book()})
            if (table->isOpen()) log_.collect(table->sqliteFile(), table->fileName());
        noteHeads(false);
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
}

void RecordsIntegrity::collectSoon(int delayMs) {
    if (collectQueued_) return;
    collectQueued_ = true;
    QTimer::singleShot(delayMs, this, [this] {
        collectQueued_ = false;
        collect();
    });
}

// A head only moves forward along its own chain: a file put back from an older copy keeps
// the head it fell behind, and is reported until an engineer acknowledges it.
void RecordsIntegrity::noteHeads(bool acceptAll) {
    if (!heads_) return;
    const QString folder = records_.connection().folder();
    // An acknowledged deletion is not told again.
    if (acceptAll)
        for (const QString& path : deletedFilesIn(folder, *heads_)) heads_->forget(path);
    for (const SealedFile& sealed : sealedFilesIn(folder)) {
        SqliteFile file;
        file.open(sealed.path, false);
        if (!seals::isSealed(file)) continue;
        const std::optional<seals::SealEntry> last = seals::lastEntry(file);
        const SealHead head = last ? SealHead{last->n, last->seal} : SealHead{};
        const std::optional<SealHead> known = heads_->head(canonical(sealed.path));
        if (acceptAll || !known || seals::chainPasses(file, *known)) heads_->setHead(canonical(sealed.path), head);
    }
    if (!heads_->save()) lastError_ = QStringLiteral("Не удается записать список печатей %1").arg(paths_.heads);
}

QList<SealFinding> RecordsIntegrity::check() {
    QList<SealFinding> findings;
    if (!ready()) return findings;
    try {
        collect();
        for (SealFinding& finding : checkRecordsFolder(records_.connection().folder(), key_, *heads_)) {
            if (finding.clean()) continue;
            const std::optional<Event> known = log_.lastOf(event_kind::IntegrityFinding, finding.title);
            if (!known || known->newValue != finding.text()) record(event_kind::IntegrityFinding, finding.title, {}, finding.text());
            findings.append(finding);
        }
        checkCalibration();
        noteHeads(false);
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
    return findings;
}

AccessCode RecordsIntegrity::accessCode() const {
    bool changedBefore = false;
    try {
        changedBefore = log_.countOf(event_kind::AccessCodeChanged) > 0;
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
    return AccessCode(paths_.code, changedBefore);
}

QList<Event> RecordsIntegrity::unacknowledged() const {
    try {
        return log_.since(event_kind::IntegrityFinding, event_kind::FindingAcknowledged);
    } catch (const TableError& error) {
        lastError_ = error.message();
        return {};
    }
}

QStringList RecordsIntegrity::outstanding() const {
    QStringList texts;
    for (const Event& event : unacknowledged()) texts.append(event.newValue);
    return texts;
}

QStringList RecordsIntegrity::outstandingFor(const QString& fileName) const {
    const QString title = tableTitle(fileName);
    QStringList texts;
    // A calibration changed behind the program's back puts every weight in doubt.
    for (const Event& event : unacknowledged())
        if (event.subject == title || event.subject == kCalibrationTitle) texts.append(event.newValue);
    return texts;
}

void RecordsIntegrity::acknowledge() {
    QSet<QString> subjects;
    for (const Event& event : unacknowledged()) {
        if (subjects.contains(event.subject)) continue;
        subjects.insert(event.subject);
        record(event_kind::FindingAcknowledged, event.subject, event.newValue);
    }
    try {
        noteHeads(true);
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
    if (subjects.contains(kCalibrationTitle)) sealCalibration();
}

void RecordsIntegrity::checkCalibration() {
    if (!ready()) return;
    const std::optional<SealedValues> inEffect = calibrationValuesOf(settingsFile_);
    if (!inEffect) {
        lastError_ = QStringLiteral("Не удается прочитать файл настроек %1").arg(settingsFile_);
        return;
    }
    const CalibrationFinding finding = checkCalibrationSeal(*inEffect, paths_.calibration, key_, QFileInfo::exists(paths_.heads));
    if (finding.clean()) return;
    const QString text = finding.text();
    // Reported once: until acknowledged it stays outstanding, and the seal keeps the old values.
    for (const Event& known : unacknowledged())
        if (known.subject == kCalibrationTitle && known.newValue == text) return;
    record(event_kind::IntegrityFinding, kCalibrationTitle, {}, text);
    if (finding.kind != CalibrationFinding::Kind::Changed) return;
    record(event_kind::Calibration, QStringLiteral("Калибровка изменена в обход программы"), valuesBefore(finding.changes),
           valuesAfter(finding.changes));
}

bool RecordsIntegrity::sealCalibration() {
    if (!ready()) return false;
    const std::optional<SealedValues> inEffect = calibrationValuesOf(settingsFile_);
    if (inEffect && writeCalibrationSeal(paths_.calibration, key_, *inEffect)) return true;
    lastError_ = QStringLiteral("Не удается записать печать калибровки %1").arg(paths_.calibration);
    return false;
}

QList<SealedFile> sealedFilesIn(const QString& folder) {
    QList<SealedFile> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        const QString table = sealedTableOf(name);
        if (!table.isEmpty()) files.append({dir.filePath(name), table});
    }
    return files;
}

QList<SealFinding> checkRecordsFolder(const QString& folder, const QByteArray& key, const SealHeads& heads) {
    QList<SealFinding> findings;
    for (const SealedFile& sealed : sealedFilesIn(folder)) findings.append(checkFile(sealed.path, sealed.table, key, heads));
    for (const QString& path : deletedFilesIn(folder, heads)) {
        SealFinding deleted;
        deleted.title = tableTitle(QFileInfo(path).fileName());
        deleted.fileDeleted = true;
        findings.append(deleted);
    }
    return findings;
}

}  // namespace zv
