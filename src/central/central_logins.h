#pragma once

#include "central/pg_connection.h"

#include <QString>

namespace zv::central {

// A login made or renewed in the central database, with the line its computer's password
// file (.pgpass) needs.
struct CentralLogin {
    QString login;
    QString pgpassLine;
};

// The login role of a scale: "zolvelt_scale_" and the scale's name in lower-case letters,
// digits and "_"; a name that needed other characters replaced gets a short digest of
// itself, so that two scales never share a login.
QString scaleLoginName(const QString& scale);

// Creates the scale's login (or gives an existing one of its own the new password), puts it
// in the scales' group and maps it to the scale. Throws PgError with the reason: a schema
// other than this program's, a login that belongs to another scale or holds more rights
// than a scale may, a scale that has another login already.
CentralLogin addScaleLogin(PgConnection& connection, const QString& scale, const QString& password);

// Creates an office login (or renews its password) in the office's read-only group. The
// name: lower-case latin letters, digits and "_".
CentralLogin addOfficeLogin(PgConnection& connection, const QString& login, const QString& password);

// "host:port:database:login:password" with ':' and '\' escaped as the password file wants.
QString pgpassLine(const QString& host, const QString& port, const QString& database, const QString& login,
                   const QString& password);

}  // namespace zv::central
