#pragma once

#include "central/pg_connection.h"

#include <QString>

namespace zv::central {

// The version of the server's schema this program writes. Each version adds to the one before.
inline constexpr int kSchemaVersion = 3;

// The schema version found on the server: 0 when there is no schema.
int schemaVersion(PgConnection& connection);

struct SchemaInit {
    int before = 0;  // the version found
    int after = 0;   // the version now there
};

// Creates the schema or upgrades an older one in one transaction; throws PgError for a newer
// schema (left untouched) or a failure (nothing changed). An older target stops there (the
// schema an earlier release left, for the upgrade's tests).
SchemaInit initSchema(PgConnection& connection, int target = kSchemaVersion);

// Throws PgError with the operator's message unless the server holds this program's schema.
void requireCurrentSchema(PgConnection& connection);

// The messages of the schema checks.
QString missingSchemaMessage();
QString olderSchemaMessage(int found);
QString newerSchemaMessage(int found);

}  // namespace zv::central
