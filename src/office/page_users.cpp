#include "office/html.h"
#include "office/office_service.h"
#include "office/pages.h"

namespace zv::office {

namespace {

Response refused(const Session& session) {
    return htmlPage(QStringLiteral("Недостаточно прав"),
                    QStringLiteral("<p class=\"error\">Пользователей ведет только администратор.</p>"), session, 403);
}

QString hidden(const QString& name, const QString& value) {
    return QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"%2\">").arg(esc(name), esc(value));
}

QString userRow(const OfficeUser& u, const Session& session) {
    const QString action = u.disabled ? QStringLiteral("enable") : QStringLiteral("disable");
    const QString button = u.name == session.user ? QString()
        : QStringLiteral("<form method=\"post\" action=\"/users\">%1%2%3<button type=\"submit\">%4</button></form>")
              .arg(hidden(QStringLiteral("csrf"), session.csrf), hidden(QStringLiteral("action"), action),
                   hidden(QStringLiteral("name"), u.name), u.disabled ? QStringLiteral("Включить") : QStringLiteral("Отключить"));
    return QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td class=\"noprint\">%5</td></tr>")
        .arg(esc(u.name), roleName(u.role), u.disabled ? QStringLiteral("отключен") : QStringLiteral("действует"), esc(u.createdAt), button);
}

}  // namespace

Response OfficeService::usersPage(const Request&, const Session& session, const QString& message) {
    if (session.role != Role::Admin) return refused(session);
    QList<OfficeUser> users;
    db_.with([&](central::PgConnection& db) { users = listUsers(db); });
    QString rows;
    for (const OfficeUser& u : users) rows += userRow(u, session);
    const QString body =
        (message.isEmpty() ? QString() : QStringLiteral("<p class=\"error\">%1</p>").arg(esc(message))) +
        QStringLiteral("<table><thead><tr><th>Пользователь</th><th>Роль</th><th>Состояние</th><th>Создан</th><th class=\"noprint\"></th>"
                       "</tr></thead><tbody>%1</tbody></table><h2>Новый пользователь</h2>"
                       "<form class=\"filter\" method=\"post\" action=\"/users\">%2%3")
            .arg(rows, hidden(QStringLiteral("csrf"), session.csrf), hidden(QStringLiteral("action"), QStringLiteral("add"))) +
        inputField(QStringLiteral("name"), QStringLiteral("Имя"), {}) +
        selectField(QStringLiteral("role"), QStringLiteral("Роль"), {QStringLiteral("office"), QStringLiteral("admin")}, QStringLiteral("office"),
                    QStringLiteral("—"), {QStringLiteral("office: только просмотр"), QStringLiteral("admin: и пользователи")}) +
        inputField(QStringLiteral("password"), QStringLiteral("Пароль"), {}, QStringLiteral("password")) +
        inputField(QStringLiteral("password2"), QStringLiteral("Пароль еще раз"), {}, QStringLiteral("password")) +
        QStringLiteral("<button type=\"submit\">Добавить</button></form>");
    return htmlPage(QStringLiteral("Пользователи"), body, session);
}

Response OfficeService::changeUsers(const Request& request, const Session& session) {
    if (session.role != Role::Admin) return refused(session);
    const QString action = request.form.value(QStringLiteral("action"));
    const QString name = request.form.value(QStringLiteral("name")).trimmed();
    QString message;
    if (action == QStringLiteral("add")) {
        const QString password = request.form.value(QStringLiteral("password"));
        const std::optional<Role> role = parseRole(request.form.value(QStringLiteral("role")));
        if (!userNameProblem(name).isEmpty()) message = userNameProblem(name);
        else if (!role) message = QStringLiteral("Выберите роль");
        else if (password.size() < 8) message = QStringLiteral("Пароль: не короче 8 знаков");
        else if (password != request.form.value(QStringLiteral("password2"))) message = QStringLiteral("Пароли не совпадают");
        else {
            const QString hash = hashPassword(password, options_.hashCost);
            bool added = false;
            db_.with([&](central::PgConnection& db) { added = addUser(db, name, *role, hash, false); });
            if (!added) message = QStringLiteral("Пользователь «%1» уже есть").arg(name);
        }
    } else if ((action == QStringLiteral("disable") || action == QStringLiteral("enable")) && name != session.user) {
        const bool disable = action == QStringLiteral("disable");
        db_.with([&](central::PgConnection& db) { setDisabled(db, name, disable); });
        if (disable) sessions_.removeUser(name);
    } else {
        message = QStringLiteral("Это действие здесь невозможно");
    }
    if (!message.isEmpty()) return usersPage(request, session, message);
    return Response::redirect(QStringLiteral("/users"));
}

}  // namespace zv::office
