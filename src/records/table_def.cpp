#include "records/table_def.h"

#include "records/table_error.h"

namespace zv {

int TableDef::indexOf(const QString& fieldName) const {
    for (int i = 0; i < fields.size(); ++i)  // the program spells names as defined: try that first
        if (fields[i].name == fieldName) return i;
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(fieldName, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TableDef::requireIndex(const QString& fieldName) const {
    const int i = indexOf(fieldName);
    if (i < 0) throw TableError(QStringLiteral("Поле %1 отсутствует в таблице %2").arg(fieldName, name));
    return i;
}

QString TableDef::shownName() const {
    return title.isEmpty() ? name : u'"' + title + u'"';
}

QList<const FieldDef*> TableDef::storedFields() const {
    QList<const FieldDef*> result;
    for (const FieldDef& f : fields)
        if (f.isStored()) result.append(&f);
    return result;
}

}  // namespace zv
