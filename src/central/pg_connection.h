#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

struct pg_conn;
struct pg_result;

namespace zv::central {

// A failure talking to the server, with libpq's text and the SQLSTATE when the server sent one.
class PgError : public std::runtime_error {
public:
    PgError(const QString& message, QString sqlState = {})
        : std::runtime_error(message.toStdString()), message_(message), sqlState_(std::move(sqlState)) {}
    const QString& message() const { return message_; }
    const QString& sqlState() const { return sqlState_; }

private:
    QString message_;
    QString sqlState_;
};

// Keyword/value pairs for libpq. A "dbname" holding a URL or connection string is expanded
// by libpq (the tools' --url) unless expandDatabase is off: then it is a database name only
// and overrides no other keyword (the settings' Database=).
struct ConnectionParams {
    QStringList keywords;
    QStringList values;
    bool expandDatabase = true;

    void set(const QString& keyword, const QString& value);
    QString value(const QString& keyword) const;
};

// The rows of one result as text (null is a null QString).
class PgResult {
public:
    explicit PgResult(pg_result* result) : result_(result) {}
    ~PgResult();
    PgResult(PgResult&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int rows() const;
    int columns() const;
    QString text(int row, int column) const;
    bool isNull(int row, int column) const;

private:
    pg_result* result_;
};

// One connection to the server, driven only by libpq's non-blocking calls: every wait is
// bounded by a deadline and ends early when the stop flag is raised, so the thread that owns
// it can always be stopped and a black-holed server never holds it for long.
class PgConnection {
public:
    using Clock = std::chrono::steady_clock;

    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    void setStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // Throws PgError; authenticationFailed() then tells a refused login from an unreachable server.
    void connect(const ConnectionParams& params);
    void close();
    bool isOpen() const { return conn_ != nullptr; }

    // One statement with text parameters ($1, $2...); an empty QString as null is not used:
    // every parameter given is sent as text.
    PgResult exec(const QString& sql, const QStringList& parameters = {});
    // Several statements without parameters (the schema).
    void execScript(const QString& sql);
    // Runs work between BEGIN and COMMIT; anything it throws rolls back and goes on.
    void transaction(const std::function<void()>& work);

    // The password as the server stores it (a SCRAM verifier made here), so that the clear
    // text never travels in a statement nor lands in the server's log.
    QString encryptedPassword(const QString& password, const QString& role);
    // Where the connection went: host (or socket folder), port and database.
    QString host() const;
    QString port() const;
    QString database() const;

private:
    pg_result* finish(Clock::time_point deadline);
    void waitFor(bool forWrite, Clock::time_point deadline);
    [[noreturn]] void fail(const QString& message, const QString& sqlState = {});
    bool stopRequested() const { return stop_ && stop_->load(); }

    pg_conn* conn_ = nullptr;
    const std::atomic<bool>* stop_ = nullptr;
    std::chrono::milliseconds timeout_{15000};
};

}  // namespace zv::central
