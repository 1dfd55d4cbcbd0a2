#include "exerciser/stored_tables.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

namespace zv::test {
namespace {

// A read-only connection that never writes or locks beyond one statement at a time, so
// the program's own writes are never kept waiting.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            error_ = lastError();
    }
    ~ReadOnlyFile() { sqlite3_close(db_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Every row of the statement, each a list of "column=value"; the first column is the key
    // when `keyed`.
    QList<std::pair<qint64, QStringList>> rows(const QString& sql, bool keyed) {
        QList<std::pair<qint64, QStringList>> result;
        if (!error_.isEmpty()) return result;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            error_ = lastError();
            return result;
        }
        int status = SQLITE_ROW;
        while ((status = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList values;
            const int first = keyed ? 1 : 0;
            for (int c = first; c < sqlite3_column_count(stmt); ++c)
                values << QString::fromUtf8(sqlite3_column_name(stmt, c)) + "=" + text(stmt, c);
            result.push_back({keyed ? sqlite3_column_int64(stmt, 0) : result.size(), values});
        }
        if (status != SQLITE_DONE) error_ = lastError();
        sqlite3_finalize(stmt);
        return result;
    }

    const QString& error() const { return error_; }

  private:
    static QString text(sqlite3_stmt* stmt, int column) {
        if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return QStringLiteral("NULL");
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, column));
    }
    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(db_)); }

    sqlite3* db_ = nullptr;
    QString error_;
};

// What the program keeps beside the records in a table file (seals, events waiting for the
// log, the outbox to the central database, SQLite's counters) changes with every write by
// design; the records themselves are what must not change unasked.
bool isBookkeeping(const QString& table) {
    return table.startsWith(QLatin1String("sqlite_")) ||
           (table.startsWith(QLatin1String("zv_")) && table != QLatin1String("zv_meta"));
}

FileDump dumpFile(const QString& path) {
    FileDump dump;
    if (!QFileInfo::exists(path)) return dump;
    ReadOnlyFile file(path);
    const auto names = file.rows(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"), false);
    for (const auto& [index, name] : names) {
        const QString table = name.front().section('=', 1);
        if (isBookkeeping(table)) continue;
        auto& rows = dump.tables[table];
        const QString quoted = "\"" + QString(table).replace("\"", "\"\"") + "\"";
        for (const auto& [rowid, values] :
             file.rows("SELECT rowid, * FROM " + quoted + " ORDER BY rowid", true))
            rows.insert(rowid, values);
    }
    dump.error = file.error();
    return dump;
}

QString changedValues(const QStringList& before, const QStringList& after) {
    QStringList changes;
    for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i) {
        const QString a = i < before.size() ? before[i] : QString();
        const QString b = i < after.size() ? after[i] : QString();
        if (a != b) changes << a + " → " + b;
    }
    return changes.join(", ");
}

}  // namespace

TablesDump dumpTables(const QString& folder, const QStringList& names) {
    TablesDump dumps;
    for (const QString& name : names) dumps.insert(name, dumpFile(QDir(folder).filePath(name)));
    return dumps;
}

QStringList rowDifferences(const QString& file, const FileDump& before, const FileDump& after,
                           int limit) {
    QStringList lines;
    if (before.error != after.error) lines << file + ": " + before.error + " → " + after.error;
    QStringList tables = before.tables.keys() + after.tables.keys();
    tables.removeDuplicates();
    for (const QString& table : tables) {
        const auto a = before.tables.value(table);
        const auto b = after.tables.value(table);
        QList<qint64> keys = a.keys() + b.keys();
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        for (qint64 key : keys) {
            if (a.value(key) == b.value(key)) continue;
            const QString where = QStringLiteral("%1 %2 rowid %3: ").arg(file, table).arg(key);
            if (!a.contains(key))
                lines << where + "added " + b.value(key).join(", ");
            else if (!b.contains(key))
                lines << where + "removed " + a.value(key).join(", ");
            else
                lines << where + changedValues(a.value(key), b.value(key));
        }
    }
    if (lines.size() > limit) {
        const auto more = lines.size() - limit;
        lines = lines.mid(0, limit);
        lines << QStringLiteral("… and %1 more").arg(more);
    }
    return lines;
}

QStringList integrityFailures(const QString& folder) {
    QStringList failures;
    for (const QFileInfo& info : QDir(folder).entryInfoList({"*.db"}, QDir::Files)) {
        ReadOnlyFile file(info.filePath());
        QStringList said;
        for (const auto& [index, values] :
             file.rows(QStringLiteral("PRAGMA integrity_check"), false))
            said << values.join(", ");
        if (!file.error().isEmpty()) said << file.error();
        if (said != QStringList{"integrity_check=ok"})
            failures << info.fileName() + ": " + said.join("; ");
    }
    return failures;
}

}  // namespace zv::test
