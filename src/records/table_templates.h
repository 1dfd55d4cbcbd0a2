#pragma once

#include "records/table_def.h"

#include <QList>
#include <QString>

namespace zv {

// An empty protected table that DBOpen copies into the folder of the working tables
// when the table is missing there.
struct TableTemplate {
    QString fileName;  // "n.ttb", "t.ttb", "w.ttb", "b.ttb"
    TableDef def;
};

QList<TableTemplate> tableTemplates();

// The template file of a table: "t.ttb" for Trains and so on.
QString templateFileName(const QString& tableName);

// Writes the four template files into dir (created when missing), replacing older ones.
// Throws TableError when a file cannot be written.
void writeTemplates(const QString& dir);

}  // namespace zv
