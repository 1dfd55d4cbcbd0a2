#include "integrity/records_integrity.h"

#include "integrity/calibration_check.h"
#include "integrity/calibration_seal.h"
#include "integrity/event_action.h"
#include "integrity/event_kinds.h"
#include "integrity/heads_generation.h"
#include "integrity/records_folder.h"
#include "integrity/seal_chain.h"
#include "records/records_database.h"
#include "records/records_notifier.h"
#include "records/table.h"
#include "records/table_error.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace zv {

namespace {

constexpr int kActionWaitMs = 100;

const QString kLogMissing = QStringLiteral("Не найден журнал событий!\r\nБудет создан новый журнал событий");

}  // namespace

RecordsIntegrity::RecordsIntegrity(RecordsDatabase& records, RecordsNotifier& notifier, const QString& settingsFile)
    : records_(records), notifier_(notifier), settingsFile_(settingsFile), paths_(sealPathsBeside(settingsFile)), log_(records.clock()) {
    // A missing key is made only once the tables folder shows a new installation (tablesOpened).
    if (!QFileInfo::exists(paths_.key)) return;
    key_ = loadSealKey(paths_.key);
    if (key_.isEmpty()) {
        lastError_ = QStringLiteral("Не удается прочитать ключ печатей %1").arg(paths_.key);
        noLog_ = true;
        return;
    }
    useKey();
}

RecordsIntegrity::~RecordsIntegrity() {
    if (sealer_) records_.connection().removeWriteListener(sealer_.get());
    if (rowEvents_) records_.connection().removeWriteListener(rowEvents_.get());
}

void RecordsIntegrity::useKey() {
    // A fresh installation's calibration is sealed as it starts; once there are chain heads a
    // missing calibration seal is a finding.
    if (!QFileInfo::exists(paths_.calibration) && !QFileInfo::exists(paths_.heads)) sealCalibration();
    heads_ = std::make_unique<SealHeads>(paths_.heads, key_);
    sealer_ = std::make_unique<RecordSealer>(key_, [this](const Table& table) { return madeByProgram(table); });
    rowEvents_ = std::make_unique<RowEvents>(log_, [this] { collectSoon(); });
    records_.connection().addWriteListener(sealer_.get());
    records_.connection().addWriteListener(rowEvents_.get());
}

bool RecordsIntegrity::madeByProgram(const Table& table) const {
    return records_.madeFiles().contains(QFileInfo(table.filePath()).absoluteFilePath());
}

// New: nothing of the installation was ever sealed, so no seal can have been removed with the key.
void RecordsIntegrity::makeKeyForNewInstallation() {
    const bool fresh = !QFileInfo::exists(paths_.key) && sealedNothingYet(paths_, records_.connection().folder());
    if (fresh) key_ = loadOrCreateSealKey(paths_.key, &lastError_);
    if (!fresh || key_.isEmpty()) {
        noLog_ = true;
        waiting_.clear();
        return;
    }
    useKey();
}

void RecordsIntegrity::tablesOpened() {
    try {
        if (!ready() && !noLog_) makeKeyForNewInstallation();
        if (!ready()) return;
        const QString folder = records_.connection().folder();
        // The heads are judged before this opening makes a log or seals a table.
        headsStatus_ = loadHeads(*heads_, folder, key_);
        // A new installation's log is made with its tables, under the tables' one message.
        if (!QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(EventLog::kFileName))) && !records_.openedNewFolder())
            notifier_.information(kLogMissing);
        if (log_.open(folder, key_)) record(event_kind::TableCreated, tableTitle(QString::fromLatin1(EventLog::kFileName)));
        writeWaitingEvents();
        sealTablesJustMade();
        collect();
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
}

// Durably, before anything else is shown: a program killed at the shift window keeps its start-up.
void RecordsIntegrity::writeWaitingEvents() {
    for (const Event& early : std::exchange(waiting_, {})) log_.append(early);
}

// A table just made holds its template's rows only: it has nothing to tell.
void RecordsIntegrity::sealTablesJustMade() {
    for (Table* table : {&records_.Trains(), &records_.Wagons(), &records_.Book(), &records_.Names()}) {
        if (!table->isOpen() || table->inBatch() || !madeByProgram(*table)) continue;
        if (seals::isSealed(table->sqliteFile())) continue;
        sealFile({table->filePath(), table->def().name}, key_);
    }
}

void RecordsIntegrity::record(const QString& kind, const QString& subject, const QString& oldValue, const QString& newValue) {
    if (noLog_) return;  // without a key there is no log
    const Event event{0, log_.clock().now(), log_.operatorName(), kind, subject, oldValue, newValue};
    if (!log_.isOpen()) return waiting_.append(event);
    try {
        writeWaitingEvents();
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

// A heads list found missing, edited or older is left on disk as found until an engineer
// acknowledges it; meanwhile the heads are kept in memory only.
void RecordsIntegrity::noteHeads(bool acceptAll) {
    if (!heads_) return;
    noteChainHeads(records_.connection().folder(), *heads_, acceptAll);
    if (acceptAll && headsStatus_ != HeadsStatus::Trusted) {
        // The next save counts on past whatever the log has seen.
        const qint64 seen = log_.isOpen() ? heads_generation::noted(log_.file(), key_) : 0;
        heads_->setGeneration(std::max(heads_->generation(), seen));
        headsStatus_ = HeadsStatus::Trusted;
    } else if (headsStatus_ != HeadsStatus::Trusted || (!heads_->changed() && QFileInfo::exists(paths_.heads))) {
        return;
    }
    if (!heads_generation::saveNoted(*heads_, log_.file(), key_))
        lastError_ = QStringLiteral("Не удается записать список печатей %1").arg(paths_.heads);
}

InstallationRecords RecordsIntegrity::installation() const {
    return {records_.connection().folder(), paths_, key_, heads_.get(), headsStatus_};
}

QList<SealFinding> RecordsIntegrity::check() {
    QList<SealFinding> findings;
    try {
        if (!ready()) {
            unlogged_ = checkInstallation(installation());
            return unlogged_;
        }
        collect();
        for (SealFinding& finding : checkInstallation(installation())) {
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
    if (!log_.isOpen()) return {};
    try {
        return log_.since(event_kind::IntegrityFinding, event_kind::FindingAcknowledged);
    } catch (const TableError& error) {
        lastError_ = error.message();
        return {};
    }
}

QStringList RecordsIntegrity::findingsFor(const std::function<bool(const QString& subject)>& chosen) const {
    QStringList texts;
    for (const SealFinding& finding : unlogged_)
        if (chosen(finding.title)) texts.append(finding.text());
    for (const Event& event : unacknowledged())
        if (chosen(event.subject)) texts.append(event.newValue);
    return texts;
}

QStringList RecordsIntegrity::outstanding() const {
    return findingsFor([](const QString&) { return true; });
}

QStringList RecordsIntegrity::outstandingFor(const QString& fileName) const {
    const QString title = tableTitle(fileName);
    return findingsFor([&title](const QString& subject) {
        return subject == title || isInstallationWide(subject) || subject == kCalibrationTitle;
    });
}

QSet<QString> RecordsIntegrity::acknowledgeWhere(const std::function<bool(const QString& subject)>& chosen) {
    QSet<QString> subjects;
    for (const Event& event : unacknowledged()) {
        if (subjects.contains(event.subject) || !chosen(event.subject)) continue;
        subjects.insert(event.subject);
        record(event_kind::FindingAcknowledged, event.subject, event.newValue);
    }
    return subjects;
}

void RecordsIntegrity::acknowledge() {
    const QSet<QString> subjects = acknowledgeWhere([](const QString&) { return true; });
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

QStringList RecordsIntegrity::unsealedTables() const {
    QStringList titles;
    try {
        for (const SealedFile& file : unsealedFilesIn(records_.connection().folder()))
            titles.append(tableTitle(QFileInfo(file.path).fileName()));
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
    return titles;
}

QList<SealedTable> RecordsIntegrity::sealUnsealed(const QString& by) {
    if (!ready() || !log_.isOpen()) return {};
    QList<SealedTable> sealed;
    try {
        collect();
        sealed = sealOnCommand(records_.connection().folder(), key_, log_, *heads_, by);
        QSet<QString> titles;
        for (const SealedTable& table : sealed) titles.insert(table.title);
        acknowledgeWhere([&titles](const QString& subject) { return titles.contains(subject); });
        noteHeads(false);
    } catch (const TableError& error) {
        lastError_ = error.message();
    }
    return sealed;
}

}  // namespace zv
