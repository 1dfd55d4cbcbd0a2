#pragma once

#include "records/field_def.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace zv {

// Structure of one table: its fields in listing order, its primary key and, for the
// dictionaries, the rows written when the table is created.
struct TableDef {
    QString name;  // table name inside the file
    QString title;  // the table as the windows name it; empty: the name
    QList<FieldDef> fields;
    QString primaryKey;
    QString primaryIndexName;  // empty: the engine's default name
    QList<QString> secondaryIndexes;  // fields with an index of their own, for fast filters
    QList<QVariantList> defaultRows;  // values for the leading stored fields

    int indexOf(const QString& field) const;  // -1 when absent; letter case ignored
    int requireIndex(const QString& field) const;  // throws TableError when absent
    const FieldDef& field(const QString& name) const { return fields[requireIndex(name)]; }
    QList<const FieldDef*> storedFields() const;
    // The table in a message to the operator: its title in quotes, else its name.
    QString shownName() const;
};

}  // namespace zv
