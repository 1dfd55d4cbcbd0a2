#pragma once

#include "records/sql_statement.h"

#include <QString>

struct sqlite3;

namespace zv {

// One open SQLite database file with the durability settings every table uses:
// a rollback journal beside the file and a full sync at each commit, so a committed
// change survives a crash and the file alone can be copied once nothing is pending.
class SqliteFile {
public:
    SqliteFile() = default;
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void open(const QString& path, bool create);  // throws TableError
    void close();
    bool isOpen() const { return db_ != nullptr; }

    void exec(const QString& sql);
    SqlStatement prepare(const QString& sql) const;
    bool inTransaction() const;
    qint64 lastInsertRowId() const;
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace zv
