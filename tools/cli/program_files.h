#pragma once

#include <QString>

namespace zv {

// The settings file of the program whose tables are in `tablesFolder`: "ZOLVelt.ini" in the
// folder above it, as the program keeps them ("…/zolvelt/DB" and "…/zolvelt/ZOLVelt.ini").
// The seal key and the chain heads lie beside that file.
QString settingsFileAbove(const QString& tablesFolder);

}  // namespace zv
