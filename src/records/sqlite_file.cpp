#include "records/sqlite_file.h"

#include "records/table_error.h"

#include <sqlite3.h>

namespace zv {

SqliteFile::~SqliteFile() { close(); }

void SqliteFile::open(const QString& path, bool create) {
    close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("нет памяти");
        sqlite3_close(db);
        throw TableError(QStringLiteral("Не удается открыть таблицу %1: %2").arg(path, reason));
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
    try {
        exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
    } catch (const TableError&) {
        close();
        throw TableError(QStringLiteral("Таблица %1 повреждена или не является таблицей").arg(path));
    }
}

void SqliteFile::close() {
    if (db_ == nullptr) return;
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteFile::exec(const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : "?");
        sqlite3_free(error);
        throw TableError(QStringLiteral("Ошибка базы данных: %1").arg(message));
    }
}

SqlStatement SqliteFile::prepare(const QString& sql) const { return SqlStatement(db_, sql); }

bool SqliteFile::inTransaction() const { return db_ != nullptr && !sqlite3_get_autocommit(db_); }

qint64 SqliteFile::lastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

}  // namespace zv
