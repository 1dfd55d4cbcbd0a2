#include "office/office_users.h"

#include <QRegularExpression>

#include <sodium.h>

#include <stdexcept>

namespace zv::office {

namespace {

const char* const kSchema = R"(
CREATE SCHEMA IF NOT EXISTS office;
CREATE TABLE IF NOT EXISTS office.users (
  name text PRIMARY KEY,
  role text NOT NULL CHECK (role IN ('office', 'admin')),
  hash text NOT NULL,
  disabled boolean NOT NULL DEFAULT false,
  created_at timestamptz NOT NULL DEFAULT now()
);
)";

const QString& dummyHash(HashCost cost) {
    if (cost == HashCost::Minimal) {
        static const QString minimal = hashPassword(QStringLiteral("no such user"), HashCost::Minimal);
        return minimal;
    }
    static const QString interactive = hashPassword(QStringLiteral("no such user"), HashCost::Interactive);
    return interactive;
}

OfficeUser userAt(const central::PgResult& r, int row) {
    return OfficeUser{r.text(row, 0), parseRole(r.text(row, 1)).value_or(Role::Office), r.text(row, 2),
                      r.text(row, 3) == QStringLiteral("t"), r.text(row, 4)};
}

const QString kColumns = QStringLiteral("name, role, hash, disabled, to_char(created_at, 'YYYY-MM-DD HH24:MI:SS')");

}  // namespace

void initOfficeSchema(central::PgConnection& connection, const QString& readerRole) {
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (!readerRole.isEmpty() && !plain.match(readerRole).hasMatch())
        throw central::PgError(QStringLiteral("Имя роли «%1» не подходит: строчные латинские буквы, цифры и _").arg(readerRole));
    connection.transaction([&] {
        connection.execScript(QString::fromUtf8(kSchema));
        if (readerRole.isEmpty()) return;
        const QString role = u'"' + readerRole + u'"';
        connection.execScript(QStringLiteral(
                                  "GRANT USAGE ON SCHEMA central, office TO %1;\n"
                                  "GRANT SELECT ON ALL TABLES IN SCHEMA central TO %1;\n"
                                  "GRANT SELECT, INSERT, UPDATE ON office.users TO %1;\n")
                                  .arg(role));
        // The witness is read through the office's row policy, which belongs to its group role.
        if (readerRole != QStringLiteral("zolvelt_office"))
            connection.execScript(QStringLiteral("DO $$ BEGIN IF EXISTS (SELECT FROM pg_roles WHERE rolname = 'zolvelt_office') "
                                                 "THEN GRANT zolvelt_office TO %1; END IF; END $$;")
                                      .arg(role));
    });
}

QString hashPassword(const QString& password, HashCost cost) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const bool minimal = cost == HashCost::Minimal;
    if (crypto_pwhash_str_alg(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                              minimal ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              minimal ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory hashing a password");
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString& hash, const QString& password, HashCost cost) {
    const QByteArray bytes = password.toUtf8();
    const QByteArray stored = (hash.isEmpty() ? dummyHash(cost) : hash).toLatin1();
    const bool match = crypto_pwhash_str_verify(stored.constData(), bytes.constData(),
                                                static_cast<unsigned long long>(bytes.size())) == 0;
    return match && !hash.isEmpty();
}

QString userNameProblem(const QString& name) {
    static const QRegularExpression good(QStringLiteral("^[\\w.\\-]{1,40}$"), QRegularExpression::UseUnicodePropertiesOption);
    if (good.match(name).hasMatch()) return {};
    return QStringLiteral("Имя пользователя: от 1 до 40 букв, цифр, точек, дефисов и подчеркиваний");
}

std::optional<OfficeUser> findUser(central::PgConnection& connection, const QString& name) {
    const central::PgResult r = connection.exec(QStringLiteral("SELECT %1 FROM office.users WHERE name = $1").arg(kColumns), {name});
    if (r.rows() == 0) return std::nullopt;
    return userAt(r, 0);
}

QList<OfficeUser> listUsers(central::PgConnection& connection) {
    const central::PgResult r = connection.exec(QStringLiteral("SELECT %1 FROM office.users ORDER BY name").arg(kColumns));
    QList<OfficeUser> users;
    for (int i = 0; i < r.rows(); ++i) users.append(userAt(r, i));
    return users;
}

bool addUser(central::PgConnection& connection, const QString& name, Role role, const QString& hash, bool replace) {
    const QString sql = replace ? QStringLiteral(
                                      "INSERT INTO office.users (name, role, hash) VALUES ($1, $2, $3) ON CONFLICT (name) "
                                      "DO UPDATE SET role = EXCLUDED.role, hash = EXCLUDED.hash, disabled = false")
                                : QStringLiteral(
                                      "INSERT INTO office.users (name, role, hash) VALUES ($1, $2, $3) ON CONFLICT (name) DO NOTHING");
    const central::PgResult r = connection.exec(sql + QStringLiteral(" RETURNING name"), {name, roleName(role), hash});
    return r.rows() == 1;
}

void setDisabled(central::PgConnection& connection, const QString& name, bool disabled) {
    connection.exec(QStringLiteral("UPDATE office.users SET disabled = $2 WHERE name = $1"),
                    {name, disabled ? QStringLiteral("true") : QStringLiteral("false")});
}

}  // namespace zv::office
