#include "records/sql_statement.h"

#include "records/table_error.h"

#include <sqlite3.h>

#include <utility>

namespace zv {

namespace {

QString lastError(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

}  // namespace

SqlStatement::SqlStatement(sqlite3* db, const QString& sql) : db_(db) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt_, nullptr) != SQLITE_OK)
        throw TableError(QStringLiteral("Ошибка базы данных: %1").arg(lastError(db)));
}

SqlStatement::~SqlStatement() { sqlite3_finalize(stmt_); }

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void SqlStatement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt_, index, value.toDouble());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) throw TableError(QStringLiteral("Ошибка базы данных: %1").arg(lastError(db_)));
}

void SqlStatement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) bind(i + 1, values[i]);
}

bool SqlStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const QString message = lastError(db_);
    sqlite3_reset(stmt_);
    throw TableError(QStringLiteral("Ошибка базы данных: %1").arg(message));
}

void SqlStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqlStatement::columnCount() const { return sqlite3_column_count(stmt_); }

QString SqlStatement::columnName(int index) const { return QString::fromUtf8(sqlite3_column_name(stmt_, index)); }

QVariant SqlStatement::column(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, index));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt_, index)));
    }
    }
}

qint64 SqlStatement::columnInt64(int index) const { return sqlite3_column_int64(stmt_, index); }

}  // namespace zv
