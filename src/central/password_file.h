#pragma once

#include "central/pg_connection.h"

#include <QString>

namespace zv::central {

// The scale's password for the central database, kept beside the settings file in libpq's
// password-file format ("host:port:database:user:password", `*` for any, `\:` and `\\` escaped).
// On the scale PC the programs run with the records group's rights but as the operator, so
// libpq's own ~/.pgpass would be the operator's to read; this file lies with the records,
// where no operator reaches it.
QString passwordFileBeside(const QString& settingsFile);

// The password of the first line that matches the connection's host, port, database and user;
// empty when the file is missing, unreadable or has no such line.
QString passwordFor(const QString& passwordFile, const ConnectionParams& params);

// Where the program's connections take their password from (once per program start, or per
// command of the tool); none until told.
void usePasswordFile(const QString& passwordFile);
// Puts the password of that file into the connection's keywords when the file has one.
void addPasswordFromFile(ConnectionParams& params);

}  // namespace zv::central
