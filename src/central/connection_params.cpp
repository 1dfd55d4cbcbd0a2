#include "central/connection_params.h"

#include "central/password_file.h"

namespace zv::central {

namespace {

// A dead or black-holed server must cost seconds, not minutes: TCP keepalives and a user
// timeout end a connection whose packets vanish; our own deadline bounds every wait.
void addTimeouts(ConnectionParams& p) {
    p.set(QStringLiteral("connect_timeout"), QStringLiteral("5"));
    p.set(QStringLiteral("keepalives"), QStringLiteral("1"));
    p.set(QStringLiteral("keepalives_idle"), QStringLiteral("10"));
    p.set(QStringLiteral("keepalives_interval"), QStringLiteral("3"));
    p.set(QStringLiteral("keepalives_count"), QStringLiteral("3"));
    p.set(QStringLiteral("tcp_user_timeout"), QStringLiteral("10000"));
    p.set(QStringLiteral("application_name"), QStringLiteral("zolvelt"));
    p.set(QStringLiteral("client_encoding"), QStringLiteral("UTF8"));
    // The server ends what the program's own sessions leave hanging: a statement that waits
    // too long, and a transaction whose client went quiet (its locks would stop every later
    // push). The statement's limit stays under our own deadline, the idle one under both.
    p.set(QStringLiteral("options"), QStringLiteral("-c statement_timeout=%1 -c idle_in_transaction_session_timeout=%2")
                                         .arg(kStatementTimeoutMs)
                                         .arg(kIdleInTransactionTimeoutMs));
}

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ConnectionParams paramsFromSettings(const CentralSettings& central) {
    ConnectionParams p;
    p.set(QStringLiteral("host"), fromStd(central.Host));
    p.set(QStringLiteral("port"), QString::number(central.Port));
    p.set(QStringLiteral("dbname"), fromStd(central.Database));
    p.expandDatabase = false;
    p.set(QStringLiteral("user"), fromStd(central.User));
    p.set(QStringLiteral("sslmode"), sslMode(central));
    if (!central.SslRootCert.empty()) p.set(QStringLiteral("sslrootcert"), fromStd(central.SslRootCert));
    addTimeouts(p);
    addPasswordFromFile(p);
    return p;
}

QString sslMode(const CentralSettings& central) {
    if (!central.SslMode.empty()) return fromStd(central.SslMode);
    return central.SslRootCert.empty() ? QStringLiteral("require") : QStringLiteral("verify-full");
}

ConnectionParams paramsFromUrl(const QString& url) {
    ConnectionParams p;
    p.set(QStringLiteral("dbname"), url);  // expanded by libpq: a URL or "key=value" text
    addTimeouts(p);
    return p;
}

bool unencrypted(const CentralSettings& central) {
    const QString mode = sslMode(central);
    return mode == QStringLiteral("disable") || mode == QStringLiteral("allow") || mode == QStringLiteral("prefer");
}

QString describe(const ConnectionParams& params) {
    const QString host = params.value(QStringLiteral("host"));
    if (host.isEmpty()) return QStringLiteral("центральный сервер");  // a URL may hold a password
    return QStringLiteral("сервер %1:%2, база %3")
        .arg(host, params.value(QStringLiteral("port")), params.value(QStringLiteral("dbname")));
}

}  // namespace zv::central
