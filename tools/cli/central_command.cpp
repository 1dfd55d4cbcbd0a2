#include "cli/central_command.h"

#include <QDir>
#include <QFileInfo>

#include "central/central_schema.h"
#include "central/connection_params.h"
#include "central/push.h"
#include "cli/program_files.h"
#include "cli/command_options.h"
#include "records/table_error.h"
#include "replay/tool_settings.h"

namespace zv {

namespace {

using central::PgConnection;

void connectTo(PgConnection& connection, const CommandOptions& options) {
    if (!options.has("--url")) throw UsageError("give --url");
    connection.connect(central::paramsFromUrl(QString::fromStdString(options.text("--url"))));
}

int init(const CommandOptions& options, std::ostream& out) {
    PgConnection connection;
    connectTo(connection, options);
    const central::SchemaInit done = central::initSchema(connection);
    if (done.before == done.after)
        out << "central init: schema version " << done.after << " is current\n";
    else if (done.before == 0)
        out << "central init: schema version " << done.after << " created\n";
    else
        out << "central init: schema upgraded from version " << done.before << " to " << done.after << '\n';
    return 0;
}

int status(const CommandOptions& options, std::ostream& out) {
    PgConnection connection;
    connectTo(connection, options);
    central::requireCurrentSchema(connection);
    const central::PgResult rows = connection.exec(QStringLiteral(
        "SELECT scale, last_table, last_key, to_char(received_at, 'DD.MM.YYYY HH24:MI:SS') "
        "FROM central.scales ORDER BY scale"));
    if (rows.rows() == 0) out << "central status: no scale has sent anything yet\n";
    for (int r = 0; r < rows.rows(); ++r)
        out << rows.text(r, 0).toStdString() << ": last row " << rows.text(r, 1).toStdString() << ' '
            << rows.text(r, 2).toStdString() << ", received " << rows.text(r, 3).toStdString() << '\n';
    return 0;
}

int push(const CommandOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.has("--db")) throw UsageError("give --db");
    const std::string db = options.text("--db");
    if (!QFileInfo(QString::fromStdString(db)).isDir()) throw std::runtime_error("no tables folder " + db);
    const Settings settings = centralSettingsFor(db, options.has("--ini") ? options.text("--ini") : std::string());
    central::Pusher pusher(QString::fromStdString(db), QString::fromStdString(settings.Central.Scale));
    // After the cause of a refusal was mended (the row corrected, the server's table widened).
    if (options.has("--retry-rejected"))
        out << "central push: " << pusher.queue().retryRejected() << " refused entries back in the queue\n";
    qint64 sent = 0;
    QString failure;
    try {
        PgConnection connection;
        connection.connect(central::paramsFromSettings(settings.Central));
        sent = pusher.pushAll(connection);
    } catch (const central::PgError& e) {
        failure = e.message();
    } catch (const TableError& e) {
        failure = e.message();
    }
    const qint64 left = pusher.queue().count(), refused = pusher.setAside();
    out << "central push: " << sent - refused << " entries sent, " << left << " left";
    if (refused > 0) out << ", " << refused << " refused by the server and kept aside (--retry-rejected)";
    out << '\n';
    if (failure.isEmpty()) return 0;
    err << "central push: " << failure.toStdString() << '\n';
    return 1;
}

}  // namespace

Settings centralSettingsFor(const std::string& db, const std::string& ini) {
    const std::string file = ini.empty() ? settingsFileAbove(QString::fromStdString(db)).toStdString() : ini;
    Settings settings = loadToolSettings({file, {}, {}}).settings;
    if (settings.Central.Scale.empty()) throw std::runtime_error("the settings file names no scale ([Central] Scale)");
    return settings;
}

int runCentralCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) throw UsageError("give init, status or push");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        if (args[0] == "init") return init(CommandOptions(rest, {"--url"}), out);
        if (args[0] == "status") return status(CommandOptions(rest, {"--url"}), out);
    } catch (const central::PgError& e) {
        err << "central " << args[0] << ": " << e.message().toStdString() << '\n';
        return 1;
    }
    if (args[0] == "push") return push(CommandOptions(rest, {"--db", "--ini"}, {"--retry-rejected"}), out, err);
    throw UsageError("unknown central command '" + args[0] + "'");
}

}  // namespace zv
