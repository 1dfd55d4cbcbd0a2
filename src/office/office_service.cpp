#include "office/office_service.h"

#include "office/html.h"
#include "office/pages.h"

#include <sodium.h>

#include <QDebug>
#include <QRegularExpression>

#include <algorithm>

namespace zv::office {

namespace {

const QString kSessionCookie = QStringLiteral("zvo_session");
const QString kLoginCookie = QStringLiteral("zvo_login");

bool sameToken(const QString& a, const QString& b) {
    const QByteArray x = a.toLatin1(), y = b.toLatin1();
    return !x.isEmpty() && x.size() == y.size() && sodium_memcmp(x.constData(), y.constData(), static_cast<size_t>(x.size())) == 0;
}

// Where to go after the login: a path of this service only, never another site.
QString safeNext(const QString& next) {
    if (!next.startsWith(u'/') || next.startsWith(QStringLiteral("//")) || next.contains(u'\\') || next.startsWith(QStringLiteral("/login")))
        return QStringLiteral("/");
    return next;
}

QString requestedUrl(const Request& r) {
    QStringList keys = r.query.keys();
    std::sort(keys.begin(), keys.end());
    QList<QPair<QString, QString>> items;
    for (const QString& k : keys) items.append({k, r.query.value(k)});
    return r.path + queryString(items);
}

}  // namespace

OfficeService::OfficeService(OfficeOptions options)
    : options_(std::move(options)),
      db_(options_.database),
      sessions_(options_.idle, options_.lifetime),
      throttle_(options_.loginPause, options_.longestPause) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
}

QString OfficeService::sessionCookie(const Request& request, const QString& value, bool expire) const {
    QString cookie = QStringLiteral("%1=%2; Path=/; HttpOnly; SameSite=Strict").arg(kSessionCookie, value);
    if (options_.secureCookie || request.secure) cookie += QStringLiteral("; Secure");
    if (expire) cookie += QStringLiteral("; Max-Age=0");
    return cookie;
}

Response OfficeService::handle(const Request& request) {
    if (request.path == QStringLiteral("/office.css")) {
        Response css;
        css.contentType = QStringLiteral("text/css; charset=utf-8");
        css.body = styleSheet();
        return css;
    }
    if (request.path == QStringLiteral("/favicon.ico")) return Response::text(404, QStringLiteral("Нет значка"));
    try {
        if (request.path == QStringLiteral("/login"))
            return request.method == QStringLiteral("POST") ? login(request) : loginForm(request, {});
        const std::optional<Session> session = sessions_.find(request.cookies.value(kSessionCookie));
        if (!session) return Response::redirect(QStringLiteral("/login") + queryString({{QStringLiteral("next"), requestedUrl(request)}}));
        return route(request, *session);
    } catch (const central::PgError& error) {
        qWarning().noquote() << "zolvelt-office:" << error.message();
        Response r;
        r.status = 503;
        r.body = page(QStringLiteral("Центральная база недоступна"),
                      QStringLiteral("<p class=\"error\">%1</p>").arg(esc(error.message())), nullptr)
                     .toUtf8();
        return r;
    }
}

Response OfficeService::route(const Request& request, const Session& session) {
    const QString& path = request.path;
    if (request.method == QStringLiteral("POST")) {
        if (!sameToken(request.form.value(QStringLiteral("csrf")), session.csrf))
            return htmlPage(QStringLiteral("Форма устарела"),
                            QStringLiteral("<p class=\"error\">Форма устарела или пришла не с этой страницы: откройте страницу снова.</p>"),
                            session, 403);
        if (path == QStringLiteral("/logout")) return logout(request, session);
        if (path == QStringLiteral("/users")) return changeUsers(request, session);
        return Response::text(405, QStringLiteral("Метод не поддерживается"));
    }
    if (request.method != QStringLiteral("GET") && request.method != QStringLiteral("HEAD"))
        return Response::text(405, QStringLiteral("Метод не поддерживается"));
    const PageContext c{request, session, db_, options_.now(), options_.exportRows};
    if (path == QStringLiteral("/")) return overviewPage(c);
    if (path == QStringLiteral("/trains")) return trainsPage(c);
    if (path == QStringLiteral("/book")) return bookPage(c);
    if (path == QStringLiteral("/book.csv")) return bookCsv(c);
    if (path == QStringLiteral("/book.xlsx")) return bookXlsx(c);
    if (path == QStringLiteral("/wagon")) return wagonPage(c);
    if (path == QStringLiteral("/waybill")) return waybillCopyPage(c);
    if (path == QStringLiteral("/events")) return eventsPage(c);
    if (path == QStringLiteral("/integrity")) return integrityPage(c);
    if (path == QStringLiteral("/users")) return usersPage(request, session);
    return htmlPage(QStringLiteral("Страница не найдена"), QStringLiteral("<p>Такой страницы нет.</p>"), session, 404);
}

Response OfficeService::loginForm(const Request& request, const QString& message, int status) {
    // Before a session the form's token pairs with a cookie of its own. A token the browser
    // already holds is kept: a second tab or the browser's own request for an icon, sent to
    // the login too, must not make the first form stale.
    static const QRegularExpression tokenShape(QStringLiteral("^[0-9a-f]{64}$"));
    const QString held = request.cookies.value(kLoginCookie);
    const QString token = tokenShape.match(held).hasMatch() ? held : randomToken();
    const QString next = request.method == QStringLiteral("POST") ? request.form.value(QStringLiteral("next")) : request.arg(QStringLiteral("next"));
    const QString body = QStringLiteral(
        "<form class=\"login\" method=\"post\" action=\"/login\">%1"
        "<input type=\"hidden\" name=\"csrf\" value=\"%2\"><input type=\"hidden\" name=\"next\" value=\"%3\">"
        "<label>Пользователь<input name=\"user\" autocomplete=\"username\" required autofocus></label>"
        "<label>Пароль<input type=\"password\" name=\"password\" autocomplete=\"current-password\" required></label>"
        "<button type=\"submit\">Войти</button></form>")
        .arg(message.isEmpty() ? QString() : QStringLiteral("<p class=\"error\">%1</p>").arg(esc(message)), token, esc(safeNext(next)));
    Response r;
    r.status = status;
    r.body = page(QStringLiteral("Вход"), body, nullptr).toUtf8();
    QString cookie = QStringLiteral("%1=%2; Path=/login; HttpOnly; SameSite=Strict").arg(kLoginCookie, token);
    if (options_.secureCookie || request.secure) cookie += QStringLiteral("; Secure");
    r.header(QStringLiteral("Set-Cookie"), cookie);
    return r;
}

Response OfficeService::login(const Request& request) {
    if (!sameToken(request.form.value(QStringLiteral("csrf")), request.cookies.value(kLoginCookie)))
        return loginForm(request, QStringLiteral("Форма входа устарела: введите имя и пароль еще раз"), 403);
    const QString name = request.form.value(QStringLiteral("user")).trimmed();
    const QString password = request.form.value(QStringLiteral("password"));
    if (const auto wait = throttle_.wait(name); wait.count() > 0)
        return loginForm(request, QStringLiteral("После неверного пароля вход для «%1» закрыт еще на %2 с")
                                      .arg(name, QString::number((wait.count() + 999) / 1000)),
                         429);
    std::optional<OfficeUser> user;
    db_.with([&](central::PgConnection& db) { user = findUser(db, name); });
    const bool good = verifyPassword(user ? user->hash : QString(), password, options_.hashCost) && user && !user->disabled;
    if (!good) {
        throttle_.failed(name);
        qWarning().noquote() << "zolvelt-office: wrong password for" << name << "from" << request.remote;
        return loginForm(request, QStringLiteral("Неверное имя пользователя или пароль"), 403);
    }
    throttle_.succeeded(name);
    const Session session = sessions_.create(user->name, user->role);
    Response r = Response::redirect(safeNext(request.form.value(QStringLiteral("next"))));
    r.header(QStringLiteral("Set-Cookie"), sessionCookie(request, session.token));
    return r;
}

Response OfficeService::logout(const Request& request, const Session& session) {
    sessions_.remove(session.token);
    Response r = Response::redirect(QStringLiteral("/login"));
    r.header(QStringLiteral("Set-Cookie"), sessionCookie(request, QString(), true));
    return r;
}

}  // namespace zv::office
