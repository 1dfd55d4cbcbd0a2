#include "integrity/raw_rows.h"

#include "records/sqlite_file.h"
#include "records/table_error.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <cstring>

#include <sqlite3.h>

namespace zv {

namespace {

void addNumber(QCryptographicHash& hash, char tag, qint64 value) {
    char bytes[9];
    bytes[0] = tag;
    qToLittleEndian(value, bytes + 1);
    hash.addData(QByteArrayView(bytes, sizeof bytes));
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
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const int count = sqlite3_column_count(stmt_);
    for (int i = from; i < count; ++i) {
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_NULL: hash.addData("N"); break;
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
            hash.addData(QByteArrayView(static_cast<const char*>(data), size));
        }
        }
    }
    return hash.result().toHex();
}

}  // namespace zv
