#include "central/central_access.h"

#include "central/central_tables.h"

#include <QStringList>

namespace zv::central {

namespace {

const char* const kRolesAndLogins = R"(
DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'zolvelt_scales') THEN
    CREATE ROLE zolvelt_scales NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'zolvelt_office') THEN
    CREATE ROLE zolvelt_office NOLOGIN;
  END IF;
  -- Nobody but the owner creates objects where the program's statements look for them.
  IF EXISTS (SELECT FROM pg_namespace WHERE nspname = 'public') THEN
    REVOKE CREATE ON SCHEMA public FROM PUBLIC;
  END IF;
END
$$;
CREATE TABLE central.scale_logins (login name PRIMARY KEY, scale text NOT NULL UNIQUE);
-- The scale of the login of this session: what a scale may touch follows from who logged
-- in, never from what the sender writes in its rows.
CREATE FUNCTION central.current_scale() RETURNS text
  LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog
  AS $$ SELECT scale FROM central.scale_logins WHERE login = session_user $$;
REVOKE ALL ON SCHEMA central FROM PUBLIC;
REVOKE ALL ON FUNCTION central.current_scale() FROM PUBLIC;
GRANT USAGE ON SCHEMA central TO zolvelt_scales, zolvelt_office;
GRANT EXECUTE ON FUNCTION central.current_scale() TO zolvelt_scales, zolvelt_office;
GRANT SELECT ON central.schema_version TO zolvelt_scales;
GRANT SELECT, INSERT, UPDATE ON central.scales TO zolvelt_scales;
GRANT SELECT ON ALL TABLES IN SCHEMA central TO zolvelt_office;
ALTER DEFAULT PRIVILEGES IN SCHEMA central GRANT SELECT ON TABLES TO zolvelt_office;
)";

// Row-level security where the office reads every row and nobody else any (the owner, who
// is not bound by it, aside).
QString officeReadsOnly(const QString& table) {
    return QStringLiteral(
               "ALTER TABLE %1 ENABLE ROW LEVEL SECURITY;\n"
               "CREATE POLICY office_reads ON %1 FOR SELECT TO zolvelt_office USING (true);\n")
        .arg(table);
}

// ... and a scale its own rows, as far as its privileges on the table go.
QString rowSecurity(const QString& table) {
    return officeReadsOnly(table) + QStringLiteral(
                                        "CREATE POLICY own_rows ON %1 TO zolvelt_scales\n"
                                        "  USING (scale = central.current_scale()) WITH CHECK (scale = central.current_scale());\n")
                                        .arg(table);
}

// The generic table (the event log among it) only grows: a scale appends its rows and never
// changes one, as its statements never do (upsertSql, deleteSql).
bool appendOnly(const QString& table) {
    for (const ServerTable& t : serverTables())
        if (t.serverName == table) return t.kind == ServerTable::Kind::Generic;
    return false;
}

QString scaleGrant(const QString& table) {
    return QStringLiteral("GRANT SELECT, INSERT%1 ON %2 TO zolvelt_scales;\n")
        .arg(appendOnly(table) ? QString() : QStringLiteral(", UPDATE, DELETE"), table);
}

}  // namespace

QString accessScript() {
    QString sql = QString::fromUtf8(kRolesAndLogins);
    for (const QString& table : serverTableNames()) sql += scaleGrant(table) + rowSecurity(table);
    sql += rowSecurity(QStringLiteral("central.scales"));
    sql += officeReadsOnly(QStringLiteral("central.versions"));  // filled by the owner's trigger only
    sql += officeReadsOnly(QStringLiteral("central.scale_logins"));
    return sql;
}

QString appendOnlyForScales(const QString& table) {
    return QStringLiteral("GRANT SELECT, INSERT ON %1 TO zolvelt_scales;\nGRANT SELECT ON %1 TO zolvelt_office;\n").arg(table) +
           rowSecurity(table);
}

}  // namespace zv::central
