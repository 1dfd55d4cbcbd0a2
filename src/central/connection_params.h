#pragma once

#include "central/pg_connection.h"
#include "settings/settings.h"

namespace zv::central {

// The program's connection: server, port, database and user of the settings. No password:
// libpq reads it from its password file (PGPASSFILE, ~/.pgpass) or a service file.
ConnectionParams paramsFromSettings(const CentralSettings& central);
// A connection named by a libpq URL or connection string, as the tool's --url gives it.
ConnectionParams paramsFromUrl(const QString& url);

// Whether the tables enter their changes into the outbox: sending is on and the scale has
// its identity (without one there is nothing the server could file the rows under).
inline bool sending(const CentralSettings& central) { return central.Send && !central.Scale.empty(); }

// "сервер 127.0.0.1:5432, база zolvelt" for messages.
QString describe(const ConnectionParams& params);

}  // namespace zv::central
