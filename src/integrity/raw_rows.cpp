#include "integrity/raw_rows.h"

#include "integrity/seal_hash.h"
#include "records/sqlite_file.h"
#include "records/table_error.h"


#include <cstring>

#include <sqlite3.h>

namespace zv {

namespace {

void addNumber(SealHash& hash, char tag, qint64 value) {
    hash.add(QByteArrayView(&tag, 1));
    hash.addNumber(value);
}

}  // namespace

RawRows::RawRows(const SqliteFile& file, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(file.handle(), text.constData(), static_cast<int>(text.size()), &stmt_, nullptr) != SQLITE_OK)
        throw TableError(QStringLiteral("Ошибка базы данных: %1").arg(QString::fromUtf8(sqlite3_errmsg(file.handle()))));
}

RawRows::~RawRows() { sqlite3_finalize(stmt_); }

void RawRows::bind(int index, qint64 value) { sqlite3_bind_int64(stmt_, index, value); }

void RawRows::bindText(int index, const QByteArray& text) {
    sqlite3_bind_text(stmt_, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void RawRows::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool RawRows::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw TableError(QStringLiteral("Ошибка базы данных: %1").arg(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_)))));
}

qint64 RawRows::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

QByteArray RawRows::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QByteArray(bytes, sqlite3_column_bytes(stmt_, column));
}

QByteArray RawRows::digest(int from) const {
    // One context for every row this statement digests; each result leaves it ready again.
    if (!hash_) hash_ = std::make_unique<SealHash>();
    SealHash& hash = *hash_;
    const int count = sqlite3_column_count(stmt_);
    for (int i = from; i < count; ++i) {
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_NULL: hash.add("N"); break;
        case SQLITE_INTEGER: addNumber(hash, 'I', sqlite3_column_int64(stmt_, i)); break;
        case SQLITE_FLOAT: {
            const double real = sqlite3_column_double(stmt_, i);
            qint64 bits;
            std::memcpy(&bits, &real, sizeof bits);
            addNumber(hash, 'F', bits);
            break;
        }
        default: {
            const bool blob = sqlite3_column_type(stmt_, i) == SQLITE_BLOB;
            const void* data = blob ? sqlite3_column_blob(stmt_, i) : static_cast<const void*>(sqlite3_column_text(stmt_, i));
            const int size = sqlite3_column_bytes(stmt_, i);
            addNumber(hash, blob ? 'B' : 'T', size);
            hash.add(QByteArrayView(static_cast<const char*>(data), size));
        }
        }
    }
    return hash.hexResult();
}

}  // namespace zv
