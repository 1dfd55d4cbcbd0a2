#include "central/pg_cluster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <glob.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace zv::test {

namespace {

const char* const kPassword = "zv-test-secret";

std::string newestBinDir() {
    glob_t found{};
    std::string dir;
    if (::glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0 && found.gl_pathc > 0)
        dir = std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path().string();
    ::globfree(&found);
    return dir;
}

// The server refuses to run as root: the tests' cluster belongs to an ordinary user.
const passwd* serverUser() {
    if (::geteuid() != 0) return nullptr;
    if (const passwd* user = ::getpwnam("postgres")) return user;
    return ::getpwnam("nobody");
}

struct Cleanup {
    ~Cleanup() { delete cluster; }
    PgCluster* cluster = nullptr;
};

std::string& reason() {
    static std::string text;
    return text;
}

// One password file for every cluster of the process.
std::string& loginsFile() {
    static std::string path;
    return path;
}

}  // namespace

PgCluster* PgCluster::instance() { return shared(true); }

PgCluster* PgCluster::withoutTls() { return shared(false); }

PgCluster* PgCluster::shared(bool tls) {
    static Cleanup holders[2];
    static bool tried[2] = {false, false};
    Cleanup& holder = holders[tls ? 1 : 0];
    if (!tried[tls ? 1 : 0]) {
        tried[tls ? 1 : 0] = true;
        auto* cluster = new PgCluster(tls);
        try {
            if (cluster->make()) holder.cluster = cluster;
        } catch (const std::exception& e) {
            reason() = e.what();
        }
        if (!holder.cluster) delete cluster;
    }
    return holder.cluster;
}

void PgCluster::addPassword(const QString& login, const QString& password) {
    std::ofstream(loginsFile(), std::ios::app) << "127.0.0.1:*:*:" << login.toStdString() << ':' << password.toStdString() << '\n';
}

bool PgCluster::serverMissing() { return newestBinDir().empty(); }

const std::string& PgCluster::skipReason() { return reason(); }

std::string PgCluster::bin(const std::string& program) const { return binDir_ + "/" + program; }

int PgCluster::run(const std::string& program, const std::vector<std::string>& args) const {
    return runAsServer(bin(program), args);
}

int PgCluster::runAsServer(std::string path, const std::vector<std::string>& args) const {
    const pid_t child = ::fork();
    if (child == 0) {
        const int log = ::open((dir_ + "/commands.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(log, 1);
        ::dup2(log, 2);
        if (const passwd* user = serverUser()) {
            if (::setgid(user->pw_gid) != 0 || ::setuid(user->pw_uid) != 0) ::_exit(126);
        }
        std::vector<char*> argv;
        argv.push_back(path.data());
        std::vector<std::string> copies = args;
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool PgCluster::make() {
    binDir_ = newestBinDir();
    if (binDir_.empty()) {
        reason() = "PostgreSQL server programs not found under /usr/lib/postgresql/*/bin "
                   "(install the Debian package postgresql: scripts/install-deps.sh)";
        return false;
    }
    char pattern[] = "/tmp/zolvelt-pg-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("cannot make the cluster's folder");
    dir_ = pattern;
    if (const passwd* user = serverUser()) {
        if (::chown(dir_.c_str(), user->pw_uid, user->pw_gid) != 0) throw std::runtime_error("cannot give the cluster's folder away");
    }
    ::chmod(dir_.c_str(), 0755);
    const std::string passwordFile = dir_ + "/password";
    std::ofstream(passwordFile) << kPassword << '\n';
    if (const passwd* user = serverUser()) {
        if (::chown(passwordFile.c_str(), user->pw_uid, user->pw_gid) != 0) throw std::runtime_error("cannot give the password file away");
    }
    if (run("initdb", {"-D", dir_ + "/data", "-U", admin().toStdString(), "--pwfile=" + passwordFile,
                       "--auth-host=scram-sha-256", "--auth-local=trust", "-E", "UTF8", "--no-locale", "-N"}) != 0)
        throw std::runtime_error("initdb failed, see " + dir_ + "/commands.log");
    std::filesystem::remove(passwordFile);
    // The tests' own password file: owned by the user running them, readable by no one else.
    if (loginsFile().empty()) {
        loginsFile() = dir_ + "/pgpass";
        std::ofstream(loginsFile()) << "127.0.0.1:*:*:" << admin().toStdString() << ':' << kPassword << '\n';
        ::chmod(loginsFile().c_str(), 0600);
        ::setenv("PGPASSFILE", loginsFile().c_str(), 1);
    }
    if (tls_) makeCertificate();
    for (int attempt = 0; attempt < 5 && !running_; ++attempt) {
        port_ = closedPort();
        start();
    }
    if (!running_) throw std::runtime_error("the test cluster did not start, see " + dir_ + "/server.log");
    return true;
}

// A self-signed certificate for 127.0.0.1, made by the server's user so that the key is its own.
void PgCluster::makeCertificate() {
    const std::string key = dir_ + "/server.key";
    rootCert_ = dir_ + "/server.crt";
    if (runAsServer("/usr/bin/openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", rootCert_,
                                        "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"}) != 0)
        throw std::runtime_error("openssl could not make the server's certificate, see " + dir_ + "/commands.log");
    ::chmod(key.c_str(), 0600);
    ::chmod(rootCert_.c_str(), 0644);
}

void PgCluster::start() {
    std::string options = "-c listen_addresses=127.0.0.1 -p " + std::to_string(port_) + " -k " + dir_ +
                          " -c fsync=off -c synchronous_commit=off -c full_page_writes=off";
    if (tls_) options += " -c ssl=on -c ssl_cert_file=" + rootCert_ + " -c ssl_key_file=" + dir_ + "/server.key";
    running_ = run("pg_ctl", {"-D", dir_ + "/data", "-o", options, "-w", "-t", "30", "-l", dir_ + "/server.log", "start"}) == 0;
}

void PgCluster::stop() {
    run("pg_ctl", {"-D", dir_ + "/data", "-m", "fast", "-w", "stop"});
    running_ = false;
}

PgCluster::~PgCluster() {
    if (running_) run("pg_ctl", {"-D", dir_ + "/data", "-m", "immediate", "-w", "stop"});
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

central::ConnectionParams PgCluster::params(const QString& database) const {
    central::ConnectionParams p;
    p.set(QStringLiteral("host"), host());
    p.set(QStringLiteral("port"), QString::number(port_));
    p.set(QStringLiteral("dbname"), database);
    p.set(QStringLiteral("user"), admin());
    p.set(QStringLiteral("connect_timeout"), QStringLiteral("5"));
    return p;
}

QString PgCluster::url(const QString& database) const {
    return QStringLiteral("postgresql://%1@%2:%3/%4").arg(admin(), host()).arg(port_).arg(database);
}

QString PgCluster::createDatabase() {
    const QString name = QStringLiteral("zv_test_%1").arg(++databases_);
    central::PgConnection admin;
    admin.connect(params(QStringLiteral("postgres")));
    admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

}  // namespace zv::test
