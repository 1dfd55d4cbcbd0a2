#pragma once

#include "central/pg_connection.h"
#include "office/connection_pool.h"
#include "office/http_server.h"
#include "office/office_users.h"
#include "office/sessions.h"

#include <QDateTime>

#include <chrono>
#include <functional>

namespace zv::office {

struct OfficeOptions {
    central::ConnectionParams database;
    std::chrono::seconds idle{30 * 60};           // a session unused this long ends
    std::chrono::seconds lifetime{10 * 60 * 60};  // and any session after this long
    std::chrono::milliseconds loginPause{1000};   // after the first wrong password; doubles
    std::chrono::milliseconds longestPause{60000};
    bool secureCookie = false;  // the cookie only over HTTPS (behind the proxy)
    HashCost hashCost = HashCost::Interactive;
    qint64 exportRows = 200000;  // the most rows a spreadsheet or CSV export holds
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// The office's web pages: logins, sessions and the routes to the pages.
class OfficeService {
public:
    explicit OfficeService(OfficeOptions options);

    Response handle(const Request& request);
    SessionStore& sessions() { return sessions_; }

private:
    Response route(const Request& request, const Session& session);
    Response loginForm(const Request& request, const QString& message, int status = 200);
    Response login(const Request& request);
    Response logout(const Request& request, const Session& session);
    Response usersPage(const Request& request, const Session& session, const QString& message = {});
    Response changeUsers(const Request& request, const Session& session);
    QString sessionCookie(const Request& request, const QString& value, bool expire = false) const;

    OfficeOptions options_;
    ConnectionPool db_;
    SessionStore sessions_;
    LoginThrottle throttle_;
};

}  // namespace zv::office
