#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace zv {

// A prepared SQLite statement. Values are always bound, never pasted into the SQL text.
class SqlStatement {
public:
    SqlStatement(sqlite3* db, const QString& sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;

    void bind(int index, const QVariant& value);  // index from 1
    void bindAll(const QVariantList& values);
    bool step();  // true while a row is available; throws TableError on failure
    void reset();

    int columnCount() const;
    QString columnName(int index) const;  // index from 0
    QVariant column(int index) const;  // index from 0; null gives an invalid QVariant
    qint64 columnInt64(int index) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace zv
