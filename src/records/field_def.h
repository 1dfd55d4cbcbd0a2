#pragma once

#include <QString>

#include <optional>

namespace zv {

enum class FieldType { Int16, Int32, DateTime, Text, AutoInc };

// Stored fields live in the file; calculated and lookup fields are filled when a row is read.
enum class FieldKind { Stored, Calculated, Lookup };

struct FieldRange {
    int min;
    int max;
};

// Where a lookup field takes its text: keyField of this table is the key of lookupTable,
// whose resultField is shown.
struct LookupSource {
    QString lookupTable;
    QString keyField;
    QString resultField;
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Int32;
    int size = 0;  // characters of a text field
    QString label;  // empty: the grid shows the field name
    QString displayFormat;  // date-time fields: Qt format of the shown text
    FieldKind kind = FieldKind::Stored;
    bool hidden = false;
    bool readOnly = false;
    bool required = false;  // must not be null when an edited row is posted
    std::optional<FieldRange> range;
    std::optional<LookupSource> lookup;

    bool isStored() const { return kind == FieldKind::Stored; }
    bool isInteger() const {
        return type == FieldType::Int16 || type == FieldType::Int32 || type == FieldType::AutoInc;
    }
    QString displayLabel() const { return label.isEmpty() ? name : label; }
};

}  // namespace zv
