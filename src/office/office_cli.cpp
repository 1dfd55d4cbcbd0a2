#include "office/office_cli.h"

#include "office/http_server.h"
#include "office/listen_address.h"
#include "office/office_service.h"
#include "office/office_users.h"

#include <QFile>
#include <QHash>
#include <QString>

#include <chrono>
#include <istream>
#include <ostream>
#include <thread>

namespace zv::office {

namespace {

const char* const kHelp =
    "zolvelt-office: the office's view of the central database, a web service.\n"
    "\n"
    "  zolvelt-office serve --url URL [--listen 127.0.0.1:8080] [--allow-plain-http] [--secure-cookie]\n"
    "  zolvelt-office serve --config FILE\n"
    "      Serves the pages. URL is a libpq URL of the central database with the office's\n"
    "      read-only login (postgresql://zolvelt_office@host/zolvelt); the password comes from\n"
    "      ~/.pgpass or PGPASSFILE. Listens on loopback unless told otherwise; an address\n"
    "      reachable from the network needs --allow-plain-http (put a TLS proxy in front instead).\n"
    "      The settings file holds lines key = value: url, listen, allow-plain-http, secure-cookie.\n"
    "  zolvelt-office init --url OWNER_URL [--reader ROLE]\n"
    "      Creates the schema \"office\" (the users) and lets ROLE read the central tables.\n"
    "  zolvelt-office add-user --url URL --user NAME --role office|admin\n"
    "      Adds a user, or sets the password and role of an existing one; the password is the\n"
    "      first line of standard input.\n"
    "  zolvelt-office --help\n";

using Options = QHash<QString, QString>;

// --name value pairs; a flag without a value is "yes". Returns false on a stray word.
bool parseOptions(const std::vector<std::string>& args, size_t from, Options& options, std::ostream& err) {
    static const QStringList flags = {QStringLiteral("allow-plain-http"), QStringLiteral("secure-cookie")};
    for (size_t i = from; i < args.size(); ++i) {
        const QString arg = QString::fromStdString(args[i]);
        if (!arg.startsWith(QStringLiteral("--"))) {
            err << "zolvelt-office: unexpected " << args[i] << " (see --help)\n";
            return false;
        }
        const QString name = arg.mid(2);
        if (flags.contains(name)) options.insert(name, QStringLiteral("yes"));
        else if (i + 1 < args.size()) options.insert(name, QString::fromStdString(args[++i]));
        else {
            err << "zolvelt-office: " << args[i] << " needs a value\n";
            return false;
        }
    }
    return true;
}

bool readConfig(const QString& path, Options& options, std::ostream& err) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err << "zolvelt-office: cannot read " << path.toStdString() << "\n";
        return false;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) {
            err << "zolvelt-office: " << path.toStdString() << ": not key = value: " << line.toStdString() << "\n";
            return false;
        }
        const QString key = line.left(eq).trimmed();
        if (!options.contains(key)) options.insert(key, line.mid(eq + 1).trimmed());  // the command line wins
    }
    return true;
}

bool yes(const Options& o, const QString& key) {
    const QString v = o.value(key).toLower();
    return v == QStringLiteral("yes") || v == QStringLiteral("true") || v == QStringLiteral("1");
}

central::ConnectionParams urlParams(const QString& url) {
    central::ConnectionParams p;
    p.set(QStringLiteral("dbname"), url);
    if (p.value(QStringLiteral("connect_timeout")).isEmpty()) p.set(QStringLiteral("connect_timeout"), QStringLiteral("10"));
    p.set(QStringLiteral("application_name"), QStringLiteral("zolvelt-office"));
    return p;
}

int serve(Options o, std::ostream& out, std::ostream& err, const std::atomic<bool>& stop, const std::function<void(int)>& ready) {
    if (o.contains(QStringLiteral("config")) && !readConfig(o.value(QStringLiteral("config")), o, err)) return 2;
    if (o.value(QStringLiteral("url")).isEmpty()) {
        err << "zolvelt-office serve: --url is needed\n";
        return 2;
    }
    const auto address = parseListenAddress(o.value(QStringLiteral("listen"), QStringLiteral("127.0.0.1:8080")));
    if (!address) {
        err << "zolvelt-office serve: --listen takes ADDRESS:PORT, e.g. 127.0.0.1:8080 or [::1]:8080\n";
        return 2;
    }
    if (const QString refusal = listenRefusal(*address, yes(o, QStringLiteral("allow-plain-http"))); !refusal.isEmpty()) {
        err << "zolvelt-office serve: " << refusal.toStdString() << "\n";
        return 2;
    }
    OfficeOptions options;
    options.database = urlParams(o.value(QStringLiteral("url")));
    options.secureCookie = yes(o, QStringLiteral("secure-cookie"));
    OfficeService service(options);
    HttpServer server([&](const Request& r) { return service.handle(r); });
    try {
        server.start(address->host, address->port);
    } catch (const std::exception& e) {
        err << "zolvelt-office serve: " << e.what() << "\n";
        return 1;
    }
    const QString host = address->host.contains(u':') ? u'[' + address->host + u']' : address->host;
    out << "zolvelt-office: serving http://" << host.toStdString() << ":" << server.port() << "/\n" << std::flush;
    if (ready) ready(server.port());
    while (!stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.stop();
    return 0;
}

template <typename Work>
int withDatabase(const Options& o, const char* command, std::ostream& err, Work work) {
    if (o.value(QStringLiteral("url")).isEmpty()) {
        err << "zolvelt-office " << command << ": --url is needed\n";
        return 2;
    }
    try {
        central::PgConnection db;
        db.connect(urlParams(o.value(QStringLiteral("url"))));
        return work(db);
    } catch (const central::PgError& e) {
        err << "zolvelt-office " << command << ": " << e.message().toStdString() << "\n";
        return 1;
    }
}

int init(const Options& o, std::ostream& out, std::ostream& err) {
    return withDatabase(o, "init", err, [&](central::PgConnection& db) {
        initOfficeSchema(db, o.value(QStringLiteral("reader")));
        out << "zolvelt-office init: schema office ready";
        if (!o.value(QStringLiteral("reader")).isEmpty()) out << ", " << o.value(QStringLiteral("reader")).toStdString() << " may read";
        out << "\n";
        return 0;
    });
}

int addUserCommand(const Options& o, std::istream& in, std::ostream& out, std::ostream& err) {
    const QString name = o.value(QStringLiteral("user"));
    const std::optional<Role> role = parseRole(o.value(QStringLiteral("role")));
    if (const QString problem = userNameProblem(name); !problem.isEmpty()) {
        err << "zolvelt-office add-user: " << problem.toStdString() << "\n";
        return 2;
    }
    if (!role) {
        err << "zolvelt-office add-user: --role office or --role admin\n";
        return 2;
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const QString password = QString::fromStdString(line);
    if (password.size() < 8) {
        err << "zolvelt-office add-user: the password (first line of standard input) needs 8 characters or more\n";
        return 2;
    }
    return withDatabase(o, "add-user", err, [&](central::PgConnection& db) {
        const central::PgResult present = db.exec(QStringLiteral("SELECT to_regclass('office.users') IS NOT NULL"));
        if (present.text(0, 0) != QStringLiteral("t")) initOfficeSchema(db);
        const bool existed = findUser(db, name).has_value();
        addUser(db, name, *role, hashPassword(password), true);
        out << "zolvelt-office add-user: " << name.toStdString() << " (" << roleName(*role).toStdString() << ") "
            << (existed ? "updated" : "added") << "\n";
        return 0;
    });
}

}  // namespace

int runOfficeCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                 const std::atomic<bool>& stop, const std::function<void(int)>& ready) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kHelp;
        return args.empty() ? 2 : 0;
    }
    Options o;
    if (!parseOptions(args, 1, o, err)) return 2;
    if (args[0] == "serve") return serve(o, out, err, stop, ready);
    if (args[0] == "init") return init(o, out, err);
    if (args[0] == "add-user") return addUserCommand(o, in, out, err);
    err << "zolvelt-office: unknown command " << args[0] << " (see --help)\n";
    return 2;
}

}  // namespace zv::office
