#include "cli/records_commands.h"

#include "central/connection_params.h"
#include "central/witness.h"
#include "cli/central_command.h"
#include "cli/command_options.h"
#include "cli/program_files.h"
#include "integrity/calibration_check.h"
#include "integrity/calibration_counter.h"
#include "integrity/event_log.h"
#include "integrity/heads_generation.h"
#include "integrity/installation_check.h"
#include "integrity/records_folder.h"
#include "integrity/seal_command.h"
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

// The chains against the heads the central database witnessed; true when there is a finding.
// A server that cannot be asked ends the command: the local check alone proves less.
bool compareWithCentral(const QString& folder, const CommandOptions& options, std::ostream& out) {
    const Settings settings = centralSettingsFor(folder.toStdString(), options.has("--ini") ? options.text("--ini") : std::string());
    QList<WitnessFinding> findings;
    try {
        central::PgConnection connection;
        connection.connect(central::paramsFromSettings(settings.Central));
        findings = central::checkAgainstWitness(connection, QString::fromStdString(settings.Central.Scale), folder);
    } catch (const central::PgError& error) {
        throw std::runtime_error(utf8(QStringLiteral("Не удается сверить записи с центральной базой: %1").arg(error.message())));
    } catch (const TableError& error) {
        throw std::runtime_error(utf8(error.message()));
    }
    for (const WitnessFinding& finding : findings) out << utf8(finding.text) << '\n';
    return !findings.isEmpty();
}

// The installation's files around a tables folder, as the commands on records are given them.
struct RecordsFiles {
    QString folder;
    QString settingsFile;
    SealPaths paths;
};

RecordsFiles recordsFiles(const CommandOptions& options) {
    if (!options.has("--db")) throw UsageError("give --db DIR");
    const QString folder = QString::fromStdString(options.text("--db"));
    if (!QFileInfo(folder).isDir()) throw std::runtime_error("no folder " + options.text("--db"));
    const QString settingsFile =
        options.has("--ini") ? QString::fromStdString(options.text("--ini")) : settingsFileAbove(folder);
    SealPaths paths = sealPathsBeside(settingsFile);
    if (options.has("--key")) paths.key = QString::fromStdString(options.text("--key"));
    if (options.has("--heads")) paths.heads = QString::fromStdString(options.text("--heads"));
    return {folder, settingsFile, paths};
}

// The key given on the command line must be there; the installation's own one missing is a finding.
QByteArray readKey(const CommandOptions& options, const SealPaths& paths) {
    if (!options.has("--key") && !QFileInfo::exists(paths.key)) return {};
    const QByteArray key = loadSealKey(paths.key);
    if (key.isEmpty()) throw std::runtime_error("cannot read the seal key " + utf8(paths.key));
    return key;
}

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

int runCheckRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& /*err*/) {
    const CommandOptions options(args, {"--db", "--ini", "--key", "--heads"}, {"--central"});
    const RecordsFiles files = recordsFiles(options);
    InstallationRecords records{files.folder, files.paths, readKey(options, files.paths)};
    SealHeads heads(files.paths.heads, records.key);
    QList<SealFinding> findings;
    try {
        if (!records.key.isEmpty()) {
            records.headsStatus = loadHeads(heads, files.folder, records.key);
            records.heads = &heads;
        }
        findings = checkInstallation(records);
    } catch (const TableError& error) {
        throw std::runtime_error(utf8(error.message()));
    }
    for (const SealFinding& finding : findings) out << utf8(finding.text()) << '\n';
    // Without the key the calibration's seal cannot be read: the key's finding says enough.
    const bool calibrationChanged =
        !records.key.isEmpty() && reportCalibration(files.settingsFile, files.paths.calibration, records.key, files.paths.heads, out);
    const bool witnessed = options.has("--central") && compareWithCentral(files.folder, options, out);
    const bool found = !findings.isEmpty() || calibrationChanged || witnessed;
    if (!found) out << utf8(QStringLiteral("Записи не изменялись в обход программы")) << '\n';
    return found ? 1 : 0;
}

int runSealRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& /*err*/) {
    const CommandOptions options(args, {"--db", "--by", "--key", "--heads"});
    const RecordsFiles files = recordsFiles(options);
    if (!options.has("--by")) throw UsageError("give --by NAME");
    const QString by = QString::fromStdString(options.text("--by")).trimmed();
    if (by.isEmpty()) throw UsageError("give --by NAME");
    const QByteArray key = readKey(options, files.paths);
    if (key.isEmpty()) throw std::runtime_error("no seal key " + utf8(files.paths.key) + ": put it back from a copy first");
    QList<SealedTable> sealed;
    try {
        SealHeads heads(files.paths.heads, key);
        const HeadsStatus status = loadHeads(heads, files.folder, key);
        SystemClock clock;
        EventLog log(clock);
        log.open(files.folder, key);
        sealed = sealOnCommand(files.folder, key, log, heads, by);
        noteChainHeads(files.folder, heads, false);
        // A list found wrong stays as found: only its acknowledgement in the program replaces it.
        if (status == HeadsStatus::Trusted && !heads_generation::saveNoted(heads, log.file(), key))
            throw std::runtime_error("cannot write the list of seals " + utf8(files.paths.heads));
    } catch (const TableError& error) {
        throw std::runtime_error(utf8(error.message()));
    }
    for (const SealedTable& table : sealed) out << utf8(sealedText(table)) << '\n';
    if (sealed.isEmpty()) out << utf8(QStringLiteral("Все таблицы опечатаны")) << '\n';
    return 0;
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
