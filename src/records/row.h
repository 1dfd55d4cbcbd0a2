#pragma once

#include "records/table_def.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace zv {

// The values of one row, one per field of its table (stored, calculated and lookup),
// as the calculation and display-text handlers see them. Null is an invalid QVariant.
class Row {
public:
    Row() = default;
    explicit Row(const TableDef& def);

    const TableDef& def() const { return *def_; }
    qint64 rowId() const { return rowId_; }
    void setRowId(qint64 id) { rowId_ = id; }

    QVariant value(const QString& field) const;
    QVariant valueAt(int index) const { return values_[index]; }
    bool isNull(const QString& field) const;
    int toInt(const QString& field) const;  // null gives 0
    // Raw assignment without checks: for the engine and the calculation handlers.
    void set(const QString& field, const QVariant& value);
    void setAt(int index, const QVariant& value) { values_[index] = value; }
    void clearDerived();

private:
    const TableDef* def_ = nullptr;
    QList<QVariant> values_;
    qint64 rowId_ = 0;
};

}  // namespace zv
