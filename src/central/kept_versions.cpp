#include "central/kept_versions.h"

#include "central/central_tables.h"

#include <QStringList>

namespace zv::central {

namespace {

const char* const kTableAndTrigger = R"(
CREATE TABLE central.versions (
  id bigserial PRIMARY KEY,
  tbl text NOT NULL,
  scale text NOT NULL,
  op text NOT NULL,
  old_row jsonb NOT NULL,
  new_row jsonb,
  changed_by name NOT NULL DEFAULT session_user,
  changed_at timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX versions_row ON central.versions (tbl, scale);
CREATE FUNCTION central.keep_version() RETURNS trigger
  LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog
  AS $$
BEGIN
  IF TG_OP = 'UPDATE' AND to_jsonb(OLD) - 'version' - 'received_at' = to_jsonb(NEW) - 'version' - 'received_at' THEN
    RETURN NULL;
  END IF;
  INSERT INTO central.versions (tbl, scale, op, old_row, new_row)
  VALUES (TG_TABLE_SCHEMA || '.' || TG_TABLE_NAME, OLD.scale, TG_OP, to_jsonb(OLD),
          CASE WHEN TG_OP = 'UPDATE' THEN to_jsonb(NEW) END);
  RETURN NULL;
END
$$;
REVOKE ALL ON FUNCTION central.keep_version() FROM PUBLIC;
)";

}  // namespace

QString keptVersionsScript() {
    QString sql = QString::fromUtf8(kTableAndTrigger);
    for (const QString& table : serverTableNames())
        sql += QStringLiteral("CREATE TRIGGER keep_version AFTER UPDATE OR DELETE ON %1 FOR EACH ROW EXECUTE FUNCTION central.keep_version();\n")
                   .arg(table);
    return sql;
}

}  // namespace zv::central
