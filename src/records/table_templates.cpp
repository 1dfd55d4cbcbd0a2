#include "records/table_templates.h"

#include "records/database.h"
#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"

#include <QDir>
#include <QFile>

namespace zv {

QList<TableTemplate> tableTemplates() {
    return {{QStringLiteral("n.ttb"), schema::names()},
            {QStringLiteral("t.ttb"), schema::trains()},
            {QStringLiteral("w.ttb"), schema::wagons()},
            {QStringLiteral("b.ttb"), schema::book()}};
}

QString templateFileName(const QString& tableName) {
    for (const TableTemplate& t : tableTemplates())
        if (t.def.name.compare(tableName, Qt::CaseInsensitive) == 0) return t.fileName;
    return {};
}

void writeTemplates(const QString& dir) {
    if (!QDir().mkpath(dir)) throw TableError(QStringLiteral("Не удается создать папку %1").arg(dir));
    Database database;
    database.setFolder(dir);
    for (const TableTemplate& t : tableTemplates()) {
        Table table(database, t.def);
        table.setFileName(t.fileName);
        if (table.exists() && !QFile::remove(table.filePath()))
            throw TableError(QStringLiteral("Не удается заменить файл %1").arg(table.filePath()));
        table.create(schema::kTablePassword);
    }
}

}  // namespace zv
