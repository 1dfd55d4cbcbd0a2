#pragma once

#include <QString>

namespace zv::central {

// The server keeps what it was sent: every row of a pushed table that is changed or deleted
// leaves its replaced version in central.versions (the table, the scale, UPDATE or DELETE,
// the row before and after as jsonb, the login that did it and when), filled by a trigger
// that runs with the owner's rights. Nobody but the owner may change or delete a kept
// version; a change that only raises the row's version (the same values sent again) leaves
// none.
QString keptVersionsScript();

}  // namespace zv::central
