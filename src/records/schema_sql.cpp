#include "records/schema_sql.h"

namespace zv {

namespace {

QString quoted(const QString& name) { return u'"' + name + u'"'; }

QString columnSql(const FieldDef& field, bool isKey) {
    QString type;
    switch (field.type) {
    case FieldType::Int16: type = QStringLiteral("SMALLINT"); break;
    case FieldType::Int32: type = QStringLiteral("INTEGER"); break;
    case FieldType::DateTime: type = QStringLiteral("DATETIME"); break;
    case FieldType::Text: type = QStringLiteral("VARCHAR(%1)").arg(field.size); break;
    case FieldType::AutoInc: return quoted(field.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    }
    return quoted(field.name) + u' ' + type + (isKey ? QStringLiteral(" NOT NULL") : QString());
}

}  // namespace

QStringList createTableSql(const TableDef& def) {
    QStringList columns;
    bool keyIsAuto = false;
    for (const FieldDef* field : def.storedFields()) {
        const bool isKey = field->name == def.primaryKey;
        keyIsAuto = keyIsAuto || (isKey && field->type == FieldType::AutoInc);
        columns.append(columnSql(*field, isKey));
    }
    if (!keyIsAuto) {
        const QString indexName = def.primaryIndexName.isEmpty() ? def.name + QStringLiteral("Key") : def.primaryIndexName;
        columns.append(QStringLiteral("CONSTRAINT %1 PRIMARY KEY (%2)").arg(quoted(indexName), quoted(def.primaryKey)));
    }
    QStringList statements{QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(quoted(def.name), columns.join(QStringLiteral(",\n  ")))};
    for (const QString& field : def.secondaryIndexes)
        statements.append(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                              .arg(quoted(def.name + u'_' + field), quoted(def.name), quoted(field)));
    return statements;
}

}  // namespace zv
