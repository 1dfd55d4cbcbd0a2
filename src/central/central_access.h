#pragma once

#include <QString>

namespace zv::central {

// Who may do what in the central database. Every scale logs in with a role of its own,
// a member of kScalesRole and mapped to its scale in central.scale_logins; the office's
// logins are members of kOfficeRole. The schema's owner (the administrator running
// `central init`) is neither and is never a scale's login.
inline const QString kScalesRole = QStringLiteral("zolvelt_scales");
inline const QString kOfficeRole = QStringLiteral("zolvelt_office");

// The roles, the map of logins to scales, central.current_scale() and the row-level
// security of every table with a scale column: a scale reads and writes only its own rows,
// only appends to the event log, never deletes its central.scales row; the office reads all.
// Run by the owner after the tables of version 1 and the kept versions exist.
QString accessScript();

// A table added later that a scale only appends to (its own rows) and never changes: row
// level security, the scale's own rows to insert and read, the office's to read.
QString appendOnlyForScales(const QString& table);

}  // namespace zv::central
