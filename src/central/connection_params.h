#pragma once

#include "central/pg_connection.h"
#include "settings/settings.h"

namespace zv::central {

// What the server is told for every session of the program.
inline constexpr int kStatementTimeoutMs = 12000;
inline constexpr int kIdleInTransactionTimeoutMs = 10000;

// The program's connection: server, port, database (a name only) and user of the settings,
// over TLS unless the settings say "disable". The password comes from the password file beside
// the settings file (see password_file.h) when it has the connection's line, else libpq reads it
// from its own password file (PGPASSFILE, ~/.pgpass) or a service file.
ConnectionParams paramsFromSettings(const CentralSettings& central);
// libpq's sslmode the settings ask for.
QString sslMode(const CentralSettings& central);
// The link may send in clear text: the settings switched encryption off ("disable") or made
// it optional ("allow", "prefer").
bool unencrypted(const CentralSettings& central);
// A connection named by a libpq URL or connection string, as the tool's --url gives it.
ConnectionParams paramsFromUrl(const QString& url);

// Whether the tables enter their changes into the outbox: sending is on and the scale has
// its identity (without one there is nothing the server could file the rows under).
inline bool sending(const CentralSettings& central) { return central.Send && !central.Scale.empty(); }

// "сервер 127.0.0.1:5432, база zolvelt" for messages.
QString describe(const ConnectionParams& params);

}  // namespace zv::central
