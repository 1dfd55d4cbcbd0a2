#include "central/pg_connection.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>

namespace zv::central {

namespace {

QString connectionMessage(pg_conn* conn) {
    const QString text = QString::fromUtf8(PQerrorMessage(conn)).simplified();
    return text.isEmpty() ? QStringLiteral("нет ответа сервера") : text;
}

// The server's notices (a cascade of a schema drop, ...) are not the operator's business.
void ignoreNotice(void*, const char*) {}

constexpr auto kSlice = std::chrono::milliseconds(100);  // how often a wait looks at the stop flag

}  // namespace

void ConnectionParams::set(const QString& keyword, const QString& value) {
    const qsizetype at = keywords.indexOf(keyword);
    if (at >= 0) {
        values[at] = value;
        return;
    }
    keywords.append(keyword);
    values.append(value);
}

QString ConnectionParams::value(const QString& keyword) const {
    const qsizetype at = keywords.indexOf(keyword);
    return at >= 0 ? values[at] : QString();
}

PgResult::~PgResult() { PQclear(result_); }

int PgResult::rows() const { return PQntuples(result_); }

int PgResult::columns() const { return PQnfields(result_); }

QString PgResult::text(int row, int column) const {
    if (PQgetisnull(result_, row, column)) return {};
    return QString::fromUtf8(PQgetvalue(result_, row, column));
}

bool PgResult::isNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }

PgConnection::~PgConnection() { close(); }

void PgConnection::close() {
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
}

void PgConnection::fail(const QString& message, const QString& sqlState) {
    close();
    throw PgError(message, sqlState);
}

void PgConnection::waitFor(bool forWrite, Clock::time_point deadline) {
    for (;;) {
        if (stopRequested()) fail(QStringLiteral("передача остановлена"));
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) fail(QStringLiteral("сервер не ответил вовремя"));
        pollfd fd{PQsocket(conn_), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(std::min(left, kSlice).count()));
        if (ready > 0) return;
        if (ready < 0 && errno != EINTR) fail(QStringLiteral("ошибка ожидания сети"));
    }
}

void PgConnection::connect(const ConnectionParams& params) {
    close();
    std::vector<QByteArray> storage;
    std::vector<const char*> keywords, values;
    for (qsizetype i = 0; i < params.keywords.size(); ++i) {
        storage.push_back(params.keywords[i].toUtf8());
        storage.push_back(params.values[i].toUtf8());
    }
    for (std::size_t i = 0; i < storage.size(); i += 2) {
        keywords.push_back(storage[i].constData());
        values.push_back(storage[i + 1].constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    conn_ = PQconnectStartParams(keywords.data(), values.data(), params.expandDatabase ? 1 : 0);
    if (!conn_) throw PgError(QStringLiteral("нет памяти для соединения"));
    if (PQstatus(conn_) == CONNECTION_BAD) fail(connectionMessage(conn_));
    const auto deadline = Clock::now() + timeout_;
    for (;;) {
        const PostgresPollingStatusType state = PQconnectPoll(conn_);
        if (state == PGRES_POLLING_OK) break;
        if (state == PGRES_POLLING_FAILED) {
            const bool needsPassword = PQconnectionNeedsPassword(conn_) != 0;
            fail(connectionMessage(conn_), needsPassword ? QStringLiteral("28P01") : QString());
        }
        waitFor(state == PGRES_POLLING_WRITING, deadline);
    }
    if (PQsetnonblocking(conn_, 1) != 0) fail(connectionMessage(conn_));
    PQsetNoticeProcessor(conn_, ignoreNotice, nullptr);
}

pg_result* PgConnection::finish(Clock::time_point deadline) {
    while (PQflush(conn_) == 1) waitFor(true, deadline);
    pg_result* last = nullptr;
    QString error, sqlState;
    for (;;) {
        while (PQisBusy(conn_)) {
            waitFor(false, deadline);
            if (!PQconsumeInput(conn_)) fail(connectionMessage(conn_));
        }
        pg_result* result = PQgetResult(conn_);
        if (!result) break;
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && error.isEmpty()) {
            error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
            sqlState = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE));
        }
        PQclear(last);
        last = result;
    }
    if (!error.isEmpty()) {
        PQclear(last);
        if (PQstatus(conn_) == CONNECTION_BAD) fail(error, sqlState);
        throw PgError(error, sqlState);
    }
    if (PQstatus(conn_) == CONNECTION_BAD) {
        PQclear(last);
        fail(connectionMessage(conn_));
    }
    return last;
}

PgResult PgConnection::exec(const QString& sql, const QStringList& parameters) {
    if (!conn_) throw PgError(QStringLiteral("нет соединения с сервером"));
    std::vector<QByteArray> storage;
    std::vector<const char*> values;
    storage.reserve(parameters.size());
    for (const QString& p : parameters) storage.push_back(p.toUtf8());
    for (const QByteArray& b : storage) values.push_back(b.constData());
    const QByteArray text = sql.toUtf8();
    if (!PQsendQueryParams(conn_, text.constData(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                           nullptr, 0))
        fail(connectionMessage(conn_));
    return PgResult(finish(Clock::now() + timeout_));
}

void PgConnection::execScript(const QString& sql) {
    if (!conn_) throw PgError(QStringLiteral("нет соединения с сервером"));
    if (!PQsendQuery(conn_, sql.toUtf8().constData())) fail(connectionMessage(conn_));
    PQclear(finish(Clock::now() + timeout_));
}

void PgConnection::transaction(const std::function<void()>& work) {
    exec(QStringLiteral("BEGIN"));
    try {
        work();
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        if (isOpen()) {
            try {
                exec(QStringLiteral("ROLLBACK"));
            } catch (const PgError&) {
                // The first failure is the one to report.
            }
        }
        throw;
    }
}

QString PgConnection::encryptedPassword(const QString& password, const QString& role) {
    if (!conn_) throw PgError(QStringLiteral("нет соединения с сервером"));
    char* verifier = PQencryptPasswordConn(conn_, password.toUtf8().constData(), role.toUtf8().constData(), "scram-sha-256");
    if (!verifier) throw PgError(connectionMessage(conn_));
    const QString text = QString::fromUtf8(verifier);
    PQfreemem(verifier);
    return text;
}

QString PgConnection::host() const { return conn_ ? QString::fromUtf8(PQhost(conn_)) : QString(); }

QString PgConnection::port() const { return conn_ ? QString::fromUtf8(PQport(conn_)) : QString(); }

QString PgConnection::database() const { return conn_ ? QString::fromUtf8(PQdb(conn_)) : QString(); }

}  // namespace zv::central
