#include "central/central_tables.h"

#include "records/schema.h"

#include <QRegularExpression>

namespace zv::central {

namespace {

QString pgType(FieldType type) {
    switch (type) {
    case FieldType::DateTime:
        return QStringLiteral("timestamp(3)");
    case FieldType::Text:
        return QStringLiteral("text");
    default:
        return QStringLiteral("integer");
    }
}

QString quoted(const QString& name) { return u'"' + name + u'"'; }

ServerTable typed(const TableDef& def, const QString& serverName, QStringList keyColumns,
                  const QStringList& skipped = {}, const QStringList& leading = {}) {
    ServerTable t;
    t.localName = def.name;
    t.serverName = serverName;
    t.skippedFields = skipped;
    for (const QString& column : leading) {
        t.columns.append(column);
        t.columnTypes.append(QStringLiteral("date"));
    }
    for (const FieldDef* field : def.storedFields()) {
        if (skipped.contains(field->name)) continue;
        t.columns.append(field->name.toLower());
        t.columnTypes.append(pgType(field->type));
    }
    t.keyColumns = std::move(keyColumns);
    return t;
}

ServerTable shared(const QString& localName, const QString& serverName, ServerTable::Kind kind,
                   const QString& nameField = {}) {
    ServerTable t;
    t.localName = localName;
    t.nameField = nameField.toLower();
    t.serverName = serverName;
    t.kind = kind;
    t.columns = {QStringLiteral("tbl"), QStringLiteral("key"), QStringLiteral("name"), QStringLiteral("data")};
    t.columnTypes = {QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("jsonb")};
    t.keyColumns = {QStringLiteral("tbl"), QStringLiteral("key")};
    return t;
}

QList<ServerTable> makeTables() {
    QList<ServerTable> tables = {
        typed(schema::trains(), QStringLiteral("central.trains"), {QStringLiteral("time")}),
        typed(schema::wagons(), QStringLiteral("central.wagons"), {QStringLiteral("wagon")}),
        typed(schema::book(), QStringLiteral("central.book"), {QStringLiteral("month"), QStringLiteral("n")}, {},
              {QStringLiteral("month")}),
        typed(schema::names(), QStringLiteral("central.operators"), {QStringLiteral("n")}, {QStringLiteral("Pass")}),
    };
    // The text of a dictionary row is its first text field that is not the key.
    for (const TableDef& def : schema::dictionaries()) {
        QString nameField;
        for (const FieldDef* field : def.storedFields())
            if (nameField.isEmpty() && field->type == FieldType::Text && field->name != def.primaryKey) nameField = field->name;
        tables.append(shared(def.name, QStringLiteral("central.dictionaries"), ServerTable::Kind::Dictionary, nameField));
    }
    tables.append(shared({}, QStringLiteral("central.events"), ServerTable::Kind::Generic));
    return tables;
}

QString joinedQuoted(const QStringList& names, const QString& prefix = {}) {
    QStringList parts;
    for (const QString& n : names) parts.append(prefix + quoted(n));
    return parts.join(QStringLiteral(", "));
}

}  // namespace

const QList<ServerTable>& serverTables() {
    static const QList<ServerTable> tables = makeTables();
    return tables;
}

QStringList serverTableNames() {
    QStringList names;
    for (const ServerTable& table : serverTables())
        if (!names.contains(table.serverName)) names.append(table.serverName);
    return names;
}

const ServerTable& serverTableFor(const QString& localName) {
    for (const ServerTable& t : serverTables())
        if (!t.localName.isEmpty() && t.localName.compare(localName, Qt::CaseInsensitive) == 0) return t;
    return serverTables().back();
}

QString upsertSql(const ServerTable& table) {
    const QString insert = QStringLiteral(
                               "INSERT INTO %1 AS t (scale, %2, version) "
                               "SELECT $1, %3, r.version FROM jsonb_populate_recordset(NULL::%1, $2::jsonb) r "
                               "ON CONFLICT (scale, %4) ")
                               .arg(table.serverName, joinedQuoted(table.columns), joinedQuoted(table.columns, QStringLiteral("r.")),
                                    joinedQuoted(table.keyColumns));
    // An event the server holds stays as it came first.
    if (table.kind == ServerTable::Kind::Generic) return insert + QStringLiteral("DO NOTHING");
    QStringList updates;
    for (const QString& c : table.columns)
        if (!table.keyColumns.contains(c)) updates.append(QStringLiteral("%1 = EXCLUDED.%1").arg(quoted(c)));
    updates.append(QStringLiteral("version = EXCLUDED.version"));
    updates.append(QStringLiteral("received_at = now()"));
    return insert + QStringLiteral("DO UPDATE SET %1 WHERE t.version < EXCLUDED.version").arg(updates.join(QStringLiteral(", ")));
}

QString deleteSql(const ServerTable& table) {
    if (table.kind == ServerTable::Kind::Generic) return {};
    QStringList match;
    for (const QString& k : table.keyColumns) match.append(QStringLiteral("t.%1 = r.%1").arg(quoted(k)));
    return QStringLiteral(
               "DELETE FROM %1 t USING jsonb_populate_recordset(NULL::%1, $2::jsonb) r "
               "WHERE t.scale = $1 AND %2 AND t.version < r.version")
        .arg(table.serverName, match.join(QStringLiteral(" AND ")));
}

QString bookMonth(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("\\[(\\d{2})\\.(\\d{4})\\]"));
    const QRegularExpressionMatch m = pattern.match(fileName);
    if (!m.hasMatch()) return {};
    return QStringLiteral("%1-%2-01").arg(m.captured(2), m.captured(1));
}

}  // namespace zv::central
