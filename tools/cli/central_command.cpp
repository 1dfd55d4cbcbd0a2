#include "cli/central_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <istream>

#include "central/central_logins.h"
#include "central/central_schema.h"
#include "central/connection_params.h"
#include "central/password_file.h"
#include "central/push.h"
#include "cli/program_files.h"
#include "cli/command_options.h"
#include "records/table_error.h"
#include "replay/tool_settings.h"

namespace zv {

namespace {

using central::PgConnection;

// What the scales' sessions rely on, beside what they set for themselves.
constexpr const char* kServerAdvice =
    "central init: recommended on the server (postgresql.conf): ssl = on, with a certificate the\n"
    "  scales trust (SslRootCert); idle_in_transaction_session_timeout = '5min' for every other\n"
    "  client (the scales' own sessions end a transaction left idle after 10 s and a statement\n"
    "  after 12 s); tcp_keepalives_idle = 60; in pg_hba.conf hostssl lines with scram-sha-256 for\n"
    "  the scales. Each scale logs in with a login of its own, never the owner's: zolvelt-tool central\n"
    "  add-scale --url URL --scale NAME.\n";

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
    out << kServerAdvice;
    return 0;
}

// The first line of the password file, or of standard input; never the command line.
QString readPassword(const CommandOptions& options, std::istream& in) {
    std::string line;
    if (options.has("--password-file")) {
        QFile file(QString::fromStdString(options.text("--password-file")));
        if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + options.text("--password-file"));
        line = file.readLine().toStdString();
    } else {
        std::getline(in, line);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.size() < 12) throw std::runtime_error("the password must have 12 characters or more");
    return QString::fromStdString(line);
}

// add-scale and add-office: the name from the option, the password as readPassword takes it.
using MakeLogin = central::CentralLogin (*)(PgConnection&, const QString&, const QString&);

int addLogin(const CommandOptions& options, const char* nameOption, MakeLogin make, const char* command, std::istream& in,
             std::ostream& out) {
    if (!options.has(nameOption)) throw UsageError(std::string("give ") + nameOption);
    const QString password = readPassword(options, in);
    PgConnection connection;
    connectTo(connection, options);
    const central::CentralLogin made = make(connection, QString::fromStdString(options.text(nameOption)), password);
    out << "central " << command << ": login " << made.login.toStdString() << " ready; its password file line:\n"
        << made.pgpassLine.toStdString() << '\n';
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
    QString failure;
    try {
        PgConnection connection;
        connection.connect(central::paramsFromSettings(settings.Central));
        pusher.pushAll(connection);
    } catch (const central::PgError& e) {
        failure = e.message();
    } catch (const TableError& e) {
        failure = e.message();
    }
    const qint64 left = pusher.queue().count(), refused = pusher.setAside();
    out << "central push: " << pusher.leftQueue() - refused << " entries sent, " << left << " left";
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
    central::usePasswordFile(central::passwordFileBeside(QString::fromStdString(file)));
    if (settings.Central.Scale.empty()) throw std::runtime_error("the settings file names no scale ([Central] Scale)");
    return settings;
}

int runCentralCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty()) throw UsageError("give init, add-scale, add-office, status or push");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        if (args[0] == "init") return init(CommandOptions(rest, {"--url"}), out);
        if (args[0] == "add-scale")
            return addLogin(CommandOptions(rest, {"--url", "--scale", "--password-file"}), "--scale", central::addScaleLogin,
                            "add-scale", in, out);
        if (args[0] == "add-office")
            return addLogin(CommandOptions(rest, {"--url", "--login", "--password-file"}), "--login", central::addOfficeLogin,
                            "add-office", in, out);
        if (args[0] == "status") return status(CommandOptions(rest, {"--url"}), out);
    } catch (const central::PgError& e) {
        err << "central " << args[0] << ": " << e.message().toStdString() << '\n';
        return 1;
    }
    if (args[0] == "push") return push(CommandOptions(rest, {"--db", "--ini"}, {"--retry-rejected"}), out, err);
    throw UsageError("unknown central command '" + args[0] + "'");
}

}  // namespace zv
