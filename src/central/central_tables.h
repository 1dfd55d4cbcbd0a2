#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zv::central {

// Where the rows of one local table go on the server. Trains, Wagons, the books and the
// operators have tables of their own with a column per stored field (named by the field in
// lower case); the dictionaries share one table, and every other table (the event log among
// them) lands in the events table, its row kept whole as jsonb.
struct ServerTable {
    enum class Kind { Typed, Dictionary, Generic };
    QString localName;          // the table's name in its file; empty for the generic one
    QString serverName;         // "central.trains"
    Kind kind = Kind::Typed;
    QStringList columns;        // data columns in order, without scale and version
    QStringList columnTypes;    // their PostgreSQL types
    QStringList keyColumns;     // the row's identity within its scale
    QStringList skippedFields;  // local fields never sent (the operators' passwords)
    QString nameField;          // a dictionary's text, as the office views show it
};

const QList<ServerTable>& serverTables();
// The server tables' names, each once (the dictionaries share one), in the order above.
QStringList serverTableNames();
// The server table of a local table (letter case ignored); the generic one for any other.
const ServerTable& serverTableFor(const QString& localName);

// Statements of one run of entries of one table: $1 is the scale, $2 a jsonb array of rows
// of the server table's columns plus "version". A row the server holds is replaced by a
// newer version (the replaced one is kept on the server); an event never is, and events are
// never deleted there: deleteSql is empty for them.
QString upsertSql(const ServerTable& table);
QString deleteSql(const ServerTable& table);

// "Book[12.2026].db" -> "2026-12-01"; empty when the name carries no month.
QString bookMonth(const QString& fileName);

}  // namespace zv::central
