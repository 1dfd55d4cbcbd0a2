#pragma once

#include "records/table_def.h"

#include <QDate>
#include <QList>
#include <QString>

namespace zv {

// The tables of the program: fields, types, sizes, labels, keys and default rows.
namespace schema {

inline const QString kTablePassword = QStringLiteral("hrmkqwa");  // Names, Trains, Wagons, Book
inline const QString kDictionaryPassword = QStringLiteral("7");  // dictionaries made elsewhere

TableDef trains();
TableDef wagons();
TableDef book();
TableDef names();
TableDef loads();
TableDef stations();
TableDef clients();
TableDef basesW();

// The four dictionaries in the order they are opened.
QList<TableDef> dictionaries();

// "Book[mm.yyyy].db": the weighing book of the month of the given date.
QString bookFileName(const QDate& date);

}  // namespace schema
}  // namespace zv
