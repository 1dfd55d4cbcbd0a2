#include "records/row.h"

namespace zv {

Row::Row(const TableDef& def) : def_(&def), values_(def.fields.size()) {}

QVariant Row::value(const QString& field) const { return values_[def_->requireIndex(field)]; }

bool Row::isNull(const QString& field) const { return value(field).isNull(); }

int Row::toInt(const QString& field) const { return value(field).toInt(); }

void Row::set(const QString& field, const QVariant& value) {
    values_[def_->requireIndex(field)] = value;
}

void Row::clearDerived() {
    for (int i = 0; i < values_.size(); ++i)
        if (!def_->fields[i].isStored()) values_[i] = QVariant();
}

}  // namespace zv
