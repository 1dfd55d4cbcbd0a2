#pragma once

#include "records/table_def.h"

#include <QString>
#include <QStringList>

namespace zv {

// SQL that creates a table file from its definition. Declared types name the field types
// (SMALLINT, INTEGER, DATETIME, VARCHAR(n)) so the file reads well in standard tools.
QStringList createTableSql(const TableDef& def);

// The metadata table of a protected file, holding the salted hash of its password.
inline constexpr const char* kMetaTable = "zv_meta";

}  // namespace zv
