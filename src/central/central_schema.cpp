#include "central/central_schema.h"

#include "central/central_access.h"
#include "central/central_tables.h"
#include "central/kept_versions.h"

#include <QStringList>

#include <algorithm>

namespace zv::central {

namespace {

QString createTable(const ServerTable& table) {
    QStringList columns = {QStringLiteral("scale text NOT NULL")};
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        const bool key = table.keyColumns.contains(table.columns[i]);
        columns.append(QStringLiteral("\"%1\" %2%3").arg(table.columns[i], table.columnTypes[i],
                                                         key ? QStringLiteral(" NOT NULL") : QString()));
    }
    columns.append(QStringLiteral("version bigint NOT NULL"));
    columns.append(QStringLiteral("received_at timestamptz NOT NULL DEFAULT now()"));
    QStringList key = {QStringLiteral("scale")};
    for (const QString& k : table.keyColumns) key.append(u'"' + k + u'"');
    columns.append(QStringLiteral("PRIMARY KEY (%1)").arg(key.join(QStringLiteral(", "))));
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n);\n").arg(table.serverName, columns.join(QStringLiteral(",\n  ")));
}

// The office's view of the books: every scale's rows with the net weight and the names of
// the load, station, client and operators resolved from that scale's dictionaries.
const char* const kOfficeBookView = R"(
CREATE VIEW central.office_book AS
SELECT b.scale, b.month, b.n, b.wagon, b.time1 AS accepted, b.time2 AS released,
       b.train1, b.train2, b.brut AS gross, coalesce(b.tare, b.tared, b.tarew) AS tare,
       b.brut - coalesce(b.tare, b.tared, b.tarew) AS net, b.nload AS places,
       lo.name AS load, st.name AS station, cl.name AS client,
       o1.name AS accepted_by, o2.name AS released_by, b.doc, b.brutd, b.tared, b.nettd, b.note
FROM central.book b
LEFT JOIN central.dictionaries lo ON lo.scale = b.scale AND lo.tbl = 'Loads' AND lo.key = b.load::text
LEFT JOIN central.dictionaries st ON st.scale = b.scale AND st.tbl = 'Stations' AND st.key = b.station::text
LEFT JOIN central.dictionaries cl ON cl.scale = b.scale AND cl.tbl = 'Clients' AND cl.key = b.client::text
LEFT JOIN central.operators o1 ON o1.scale = b.scale AND o1.n = b.name1
LEFT JOIN central.operators o2 ON o2.scale = b.scale AND o2.n = b.name2;
)";

QString versionOneScript() {
    QString sql = QStringLiteral(
        "CREATE SCHEMA IF NOT EXISTS central;\n"
        "CREATE TABLE central.schema_version (version integer NOT NULL);\n"
        "INSERT INTO central.schema_version VALUES (0);\n"
        "CREATE TABLE central.scales (scale text PRIMARY KEY, last_version bigint NOT NULL,\n"
        "  last_table text, last_key text, received_at timestamptz NOT NULL DEFAULT now());\n");
    QStringList made;
    for (const ServerTable& table : serverTables()) {
        if (made.contains(table.serverName)) continue;
        made.append(table.serverName);
        sql += createTable(table);
    }
    sql += QString::fromUtf8(kOfficeBookView);
    return sql;
}

// The witness: the heads of the scales' seal chains as each push found them, kept for good. A
// scale adds its own and reads its own, never with a time of receipt of its choosing; nobody
// but the owner changes or removes one. The backlog each scale reports with its pushes goes
// beside its last contact.
const char* const kVersionThreeScript = R"(
CREATE TABLE central.witness (
  scale text NOT NULL,
  file text NOT NULL,
  n bigint NOT NULL CHECK (n >= 0),
  head text NOT NULL,
  sent_at timestamptz NOT NULL,
  received_at timestamptz NOT NULL DEFAULT now(),
  PRIMARY KEY (scale, file, n, head)
);
ALTER TABLE central.witness ENABLE ROW LEVEL SECURITY;
REVOKE ALL ON central.witness FROM PUBLIC;
GRANT SELECT, INSERT (scale, file, n, head, sent_at) ON central.witness TO zolvelt_scales;
GRANT SELECT ON central.witness TO zolvelt_office;
CREATE POLICY witness_scale_reads ON central.witness FOR SELECT TO zolvelt_scales
  USING (scale = central.current_scale());
CREATE POLICY witness_scale_adds ON central.witness FOR INSERT TO zolvelt_scales
  WITH CHECK (scale = central.current_scale());
CREATE POLICY witness_office_reads ON central.witness FOR SELECT TO zolvelt_office USING (true);
ALTER TABLE central.scales ADD COLUMN outbox_waiting bigint, ADD COLUMN outbox_refused bigint,
  ADD COLUMN outbox_reported_at timestamptz;
)";

// The script that takes the schema from version i to i + 1, for i from 0.
QString upgradeScript(int from) {
    switch (from) {
    case 0:
        return versionOneScript();
    case 1:  // the server keeps what it was sent, and trusts no scale with another's rows
        return keptVersionsScript() + accessScript();
    case 2:  // the witnessed chain heads, appended by the scales only, and their backlog
        return QString::fromUtf8(kVersionThreeScript);
    default:
        return {};
    }
}

int readVersion(PgConnection& connection) {
    const PgResult present = connection.exec(QStringLiteral("SELECT to_regclass('central.schema_version') IS NOT NULL"));
    if (present.text(0, 0) != QStringLiteral("t")) return 0;
    const PgResult version = connection.exec(QStringLiteral("SELECT max(version) FROM central.schema_version"));
    return version.isNull(0, 0) ? 0 : version.text(0, 0).toInt();
}

}  // namespace

QString missingSchemaMessage() {
    return QStringLiteral("Схема центральной базы не создана: выполните zolvelt-tool central init");
}

QString olderSchemaMessage(int found) {
    return QStringLiteral("Схема центральной базы устарела (версия %1, нужна %2): выполните zolvelt-tool central init")
        .arg(found)
        .arg(kSchemaVersion);
}

QString newerSchemaMessage(int found) {
    return QStringLiteral("Схема центральной базы новее программы (версия %1, программа знает %2): обновите программу")
        .arg(found)
        .arg(kSchemaVersion);
}

int schemaVersion(PgConnection& connection) { return readVersion(connection); }

SchemaInit initSchema(PgConnection& connection, int target) {
    SchemaInit result;
    connection.transaction([&] {
        // Two services running init at once take turns.
        connection.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7305861)"));
        result.before = readVersion(connection);
        if (result.before > kSchemaVersion) throw PgError(newerSchemaMessage(result.before));
        for (int v = result.before; v < target; ++v) {
            connection.execScript(upgradeScript(v));
            connection.exec(QStringLiteral("UPDATE central.schema_version SET version = $1"), {QString::number(v + 1)});
        }
    });
    result.after = std::max(result.before, target);
    return result;
}

void requireCurrentSchema(PgConnection& connection) {
    const int found = readVersion(connection);
    if (found == kSchemaVersion) return;
    if (found == 0) throw PgError(missingSchemaMessage(), QStringLiteral("ZV001"));
    throw PgError(found < kSchemaVersion ? olderSchemaMessage(found) : newerSchemaMessage(found), QStringLiteral("ZV001"));
}

}  // namespace zv::central
