#pragma once

#include "central/pg_connection.h"
#include "office/sessions.h"

#include <QList>
#include <QString>

#include <optional>

namespace zv::office {

// The office's users live on the server in a schema of their own, beside the scales' data.
struct OfficeUser {
    QString name;
    Role role = Role::Office;
    QString hash;  // Argon2id, libsodium's string form
    bool disabled = false;
    QString createdAt;
};

// Creates the schema "office" where it is missing and, given a reader role, lets it read the
// central tables and keep the users: SELECT on central, SELECT/INSERT/UPDATE on office.users.
// Run with the owner's login. Throws PgError; a role name that is not a plain name is refused.
void initOfficeSchema(central::PgConnection& connection, const QString& readerRole = {});

enum class HashCost { Interactive, Minimal };  // Minimal: for tests only
QString hashPassword(const QString& password, HashCost cost = HashCost::Interactive);
// Checks a password; against an empty hash it spends the time of a hash of that cost and says no.
bool verifyPassword(const QString& hash, const QString& password, HashCost cost = HashCost::Interactive);

// A name of 1..40 letters, digits, '.', '_', '-'; the message why not, empty when good.
QString userNameProblem(const QString& name);

std::optional<OfficeUser> findUser(central::PgConnection& connection, const QString& name);
QList<OfficeUser> listUsers(central::PgConnection& connection);
// Adds a user; an existing name is refused unless replace, which sets its password and role
// and enables it again. Returns false when refused.
bool addUser(central::PgConnection& connection, const QString& name, Role role, const QString& hash, bool replace);
void setDisabled(central::PgConnection& connection, const QString& name, bool disabled);

}  // namespace zv::office
