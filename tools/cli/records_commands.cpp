#include "cli/records_commands.h"

#include "cli/command_options.h"
#include "cli/program_files.h"
#include "integrity/calibration_check.h"
#include "integrity/calibration_counter.h"
#include "integrity/event_log.h"
#include "integrity/records_integrity.h"
#include "integrity/seal_key.h"
#include "integrity/software_identity.h"
#include "privilege/operator_rights.h"
#include "records/clock.h"
#include "records/table_error.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

namespace zv {

namespace {

QString toolFolder() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(); }

std::string utf8(const QString& text) { return text.toStdString(); }

// The calibration the program would run on against its seal; true when that is a finding.
bool reportCalibration(const QString& settingsFile, const QString& sealPath, const QByteArray& key,
                       const QString& headsPath, std::ostream& out) {
    const std::optional<SealedValues> inEffect = calibrationValuesOf(settingsFile);
    if (!inEffect) throw std::runtime_error("cannot read the settings file " + utf8(settingsFile));
    const CalibrationFinding finding = checkCalibrationSeal(*inEffect, sealPath, key, QFileInfo::exists(headsPath));
    if (finding.kind != CalibrationFinding::Kind::Clean) out << utf8(finding.text()) << '\n';
    return !finding.clean();
}

}  // namespace

int runCheckRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandOptions options(args, {"--db", "--ini", "--key", "--heads"});
    if (!options.has("--db")) throw UsageError("give --db DIR");
    const QString folder = QString::fromStdString(options.text("--db"));
    if (!QFileInfo(folder).isDir()) throw std::runtime_error("no folder " + options.text("--db"));
    const QString settingsFile =
        options.has("--ini") ? QString::fromStdString(options.text("--ini")) : settingsFileAbove(folder);
    const SealPaths beside = sealPathsBeside(settingsFile);
    const QString keyPath = options.has("--key") ? QString::fromStdString(options.text("--key")) : beside.key;
    const QString headsPath = options.has("--heads") ? QString::fromStdString(options.text("--heads")) : beside.heads;
    const QByteArray key = loadSealKey(keyPath);
    if (key.isEmpty()) throw std::runtime_error("cannot read the seal key " + utf8(keyPath));
    SealHeads heads(headsPath, key);
    bool found = false;
    if (!heads.load()) {
        out << utf8(QStringLiteral("Список печатей %1 изменен в обход программы").arg(headsPath)) << '\n';
        found = true;
    }
    try {
        for (const SealFinding& finding : checkRecordsFolder(folder, key, heads)) {
            if (finding.unsealed && !finding.sealsRemoved) {
                out << utf8(QStringLiteral("%1: не опечатана").arg(finding.title)) << '\n';
            } else if (!finding.clean()) {
                out << utf8(finding.text()) << '\n';
                found = true;
            }
        }
    } catch (const TableError& error) {
        throw std::runtime_error(utf8(error.message()));
    }
    if (reportCalibration(settingsFile, beside.calibration, key, headsPath, out)) found = true;
    if (!found) out << utf8(QStringLiteral("Записи не изменялись в обход программы")) << '\n';
    (void)err;
    return found ? 1 : 0;
}

int runIdentifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& /*err*/) {
    CommandOptions options(args, {"--program", "--db"});
    const QString program = options.has("--program") ? QString::fromStdString(options.text("--program"))
                                                     : QDir(toolFolder()).filePath(QStringLiteral("zolvelt"));
    if (!QFileInfo(program).isFile()) throw std::runtime_error("no program " + utf8(program));
    const QString folder = options.has("--db") ? QString::fromStdString(options.text("--db"))
                                               : QDir(QFileInfo(program).absolutePath()).filePath(QStringLiteral("DB"));
    // A file named on the command line is read as its caller could read it.
    QString line;
    {
        const OperatorRights rights;
        line = identify(program).text();
    }
    if (QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(EventLog::kFileName)))) {
        SystemClock clock;
        EventLog log(clock);
        try {
            log.open(folder, {});
            line += QStringLiteral(" · ") + calibrationCounter(log).text();
        } catch (const TableError& error) {
            throw std::runtime_error(utf8(error.message()));
        }
    }
    out << utf8(line) << '\n';
    return 0;
}

}  // namespace zv
