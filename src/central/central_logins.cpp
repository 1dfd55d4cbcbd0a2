#include "central/central_logins.h"

#include "central/central_access.h"
#include "central/central_schema.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QStringList>

namespace zv::central {

namespace {

constexpr qsizetype kLongestName = 40;  // of the scale's part; a role name takes at most 63 bytes

bool plainName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    return plain.match(name).hasMatch();
}

// Runs a statement the server composes itself, names quoted by format('%I') and texts by
// format('%L'): nothing the operator typed is ever spliced into SQL here.
void execFormatted(PgConnection& connection, const QString& pattern, const QStringList& arguments) {
    QStringList placeholders;
    for (qsizetype i = 0; i < arguments.size(); ++i) placeholders.append(QStringLiteral("$%1::text").arg(i + 2));
    const PgResult statement =
        connection.exec(QStringLiteral("SELECT format($1, %1)").arg(placeholders.join(QStringLiteral(", "))),
                        QStringList{pattern} + arguments);
    connection.exec(statement.text(0, 0));
}

// A role that may do more than log in is never made into a scale's or the office's login.
void refusePowerfulRole(PgConnection& connection, const QString& login) {
    const PgResult found = connection.exec(
        QStringLiteral("SELECT rolsuper OR rolcreaterole OR rolcreatedb OR rolbypassrls OR rolreplication "
                       "FROM pg_roles WHERE rolname = $1"),
        {login});
    if (found.rows() > 0 && found.text(0, 0) == QStringLiteral("t"))
        throw PgError(QStringLiteral("Роль %1 уже есть и имеет права администратора: она не может быть входом весов или офиса")
                          .arg(login));
}

// Creates the login or sets its password, and makes it a member of the group.
void ensureLogin(PgConnection& connection, const QString& login, const QString& password, const QString& group) {
    if (password.isEmpty()) throw PgError(QStringLiteral("Пароль не задан"));
    refusePowerfulRole(connection, login);
    const bool exists = connection.exec(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = $1"), {login}).rows() > 0;
    const QString verifier = connection.encryptedPassword(password, login);
    execFormatted(connection, exists ? QStringLiteral("ALTER ROLE %I WITH LOGIN PASSWORD %L") : QStringLiteral("CREATE ROLE %I LOGIN PASSWORD %L"),
                  {login, verifier});
    execFormatted(connection, QStringLiteral("GRANT %I TO %I"), {group, login});
}

void mapLoginToScale(PgConnection& connection, const QString& login, const QString& scale) {
    const PgResult mapped = connection.exec(
        QStringLiteral("SELECT login, scale FROM central.scale_logins WHERE login = $1 OR scale = $2"), {login, scale});
    for (int r = 0; r < mapped.rows(); ++r) {
        if (mapped.text(r, 0) != login)
            throw PgError(QStringLiteral("У весов %1 уже есть вход %2").arg(scale, mapped.text(r, 0)));
        if (mapped.text(r, 1) != scale)
            throw PgError(QStringLiteral("Вход %1 принадлежит весам %2").arg(login, mapped.text(r, 1)));
    }
    connection.exec(QStringLiteral("INSERT INTO central.scale_logins (login, scale) VALUES ($1, $2) ON CONFLICT DO NOTHING"),
                    {login, scale});
}

QString escaped(QString field) {
    field.replace(u'\\', QStringLiteral("\\\\"));
    field.replace(u':', QStringLiteral("\\:"));
    return field;
}

CentralLogin madeLogin(PgConnection& connection, const QString& login, const QString& password) {
    // A login over the local socket names no host the scale could use.
    const QString host = connection.host().startsWith(u'/') ? QStringLiteral("*") : connection.host();
    return {login, pgpassLine(host, connection.port(), connection.database(), login, password)};
}

}  // namespace

QString scaleLoginName(const QString& scale) {
    QString part;
    bool replaced = false;
    for (const QChar c : scale.toLower()) {
        const bool kept = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
        part.append(kept ? c : u'_');
        replaced = replaced || !kept;
    }
    if (part.size() > kLongestName) {
        part.truncate(kLongestName);
        replaced = true;
    }
    if (replaced)
        part += u'_' + QString::fromLatin1(QCryptographicHash::hash(scale.toUtf8(), QCryptographicHash::Sha256).toHex().left(8));
    return QStringLiteral("zolvelt_scale_") + part;
}

CentralLogin addScaleLogin(PgConnection& connection, const QString& scale, const QString& password) {
    if (scale.trimmed().isEmpty()) throw PgError(QStringLiteral("Не указано обозначение весов"));
    const QString login = scaleLoginName(scale);
    connection.transaction([&] {
        requireCurrentSchema(connection);
        ensureLogin(connection, login, password, kScalesRole);
        mapLoginToScale(connection, login, scale);
    });
    return madeLogin(connection, login, password);
}

CentralLogin addOfficeLogin(PgConnection& connection, const QString& login, const QString& password) {
    if (!plainName(login) || login.startsWith(QStringLiteral("pg_")))
        throw PgError(QStringLiteral("Имя входа «%1» не подходит: строчные латинские буквы, цифры и _").arg(login));
    connection.transaction([&] {
        requireCurrentSchema(connection);
        if (connection.exec(QStringLiteral("SELECT 1 FROM central.scale_logins WHERE login = $1"), {login}).rows() > 0)
            throw PgError(QStringLiteral("Вход %1 принадлежит весам и не может быть входом офиса").arg(login));
        ensureLogin(connection, login, password, kOfficeRole);
    });
    return madeLogin(connection, login, password);
}

QString pgpassLine(const QString& host, const QString& port, const QString& database, const QString& login,
                   const QString& password) {
    return QStringList{escaped(host), escaped(port), escaped(database), escaped(login), escaped(password)}.join(u':');
}

}  // namespace zv::central
