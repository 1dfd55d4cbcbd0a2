#include "cli/records_commands.h"

#include "central/connection_params.h"
#include "central/witness.h"
#include "cli/central_command.h"
#include "cli/command_options.h"
#include "cli/program_files.h"
#include "integrity/calibration_counter.h"
#include "integrity/event_log.h"
#include "integrity/records_integrity.h"
#include "integrity/seal_key.h"
#include "integrity/software_identity.h"
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

}  // namespace

int runCheckRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandOptions options(args, {"--db", "--key", "--heads", "--ini"}, {"--central"});
    if (!options.has("--db")) throw UsageError("give --db DIR");
    const QString folder = QString::fromStdString(options.text("--db"));
    if (!QFileInfo(folder).isDir()) throw std::runtime_error("no folder " + options.text("--db"));
    const SealPaths beside = sealPathsBeside(settingsFileAbove(folder));
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
    if (options.has("--central") && compareWithCentral(folder, options, out)) found = true;
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
    QString line = identify(program).text();
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
