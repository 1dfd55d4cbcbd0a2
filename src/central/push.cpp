#include "central/push.h"

#include "central/central_schema.h"
#include "central/central_tables.h"

#include <QDebug>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zv::central {

namespace {

// The server refused what an entry holds (a value out of range, a constraint), not the
// connection: SQLSTATE classes 22 and 23.
bool isRejection(const PgError& error) {
    return error.sqlState().startsWith(QStringLiteral("22")) || error.sqlState().startsWith(QStringLiteral("23"));
}

// The entry as a row of its server table, with its version: the row as it is now for an
// upsert, its key for a delete.
QJsonObject serverRow(const ServerTable& table, const OutboxEntry& entry) {
    QJsonObject row;
    if (entry.op == 'U') {
        row = QJsonDocument::fromJson(entry.row.toUtf8()).object();
    } else if (table.kind == ServerTable::Kind::Typed) {
        const QString& key = table.keyColumns.back();
        const bool number = table.columnTypes[table.columns.indexOf(key)] == QStringLiteral("integer");
        row.insert(key, number ? QJsonValue(entry.key.toLongLong()) : QJsonValue(entry.key));
    }
    QJsonObject out;
    if (table.kind == ServerTable::Kind::Typed) {
        out = row;
        if (table.columns.contains(QStringLiteral("month"))) {
            QString month = bookMonth(entry.file);
            if (month.isEmpty()) month = row.value(QStringLiteral("time1")).toString().left(7) + QStringLiteral("-01");
            out.insert(QStringLiteral("month"), month.size() == 10 ? QJsonValue(month) : QJsonValue(QStringLiteral("0001-01-01")));
        }
    } else {
        out.insert(QStringLiteral("tbl"), entry.table);
        out.insert(QStringLiteral("key"), entry.key);
        if (!table.nameField.isEmpty()) out.insert(QStringLiteral("name"), row.value(table.nameField));
        if (entry.op == 'U') out.insert(QStringLiteral("data"), row);
    }
    out.insert(QStringLiteral("version"), entry.seq);
    return out;
}

QString identity(const ServerTable& table, const QJsonObject& row) {
    QStringList parts;
    for (const QString& k : table.keyColumns) parts.append(row.value(k).toVariant().toString());
    return parts.join(QChar(0x1f));
}

// Consecutive entries of one server table and one operation go in one statement. Within an
// upsert the last entry of a row stands for it (one statement may touch a row only once).
struct Run {
    const ServerTable* table = nullptr;
    char op = 'U';
    QJsonArray rows;
    QHash<QString, qsizetype> at;

    void add(const QJsonObject& row) {
        if (op == 'U') {
            const QString id = identity(*table, row);
            if (const auto found = at.constFind(id); found != at.constEnd()) {
                rows[*found] = row;
                return;
            }
            at.insert(id, rows.size());
        }
        rows.append(row);
    }
};

void send(PgConnection& connection, const QString& scale, const Run& run) {
    const QString sql = run.op == 'U' ? upsertSql(*run.table) : deleteSql(*run.table);
    if (sql.isEmpty()) return;
    connection.exec(sql, {scale, QString::fromUtf8(QJsonDocument(run.rows).toJson(QJsonDocument::Compact))});
}

}  // namespace

void Pusher::apply(PgConnection& connection, const std::vector<OutboxEntry>& entries) {
    requireCurrentSchema(connection);
    Run run;
    for (const OutboxEntry& entry : entries) {
        if (entry.op == 'U' && entry.row.isEmpty()) continue;  // deleted since: its own entry follows
        const ServerTable& table = serverTableFor(entry.table);
        if (run.table && (run.table->serverName != table.serverName || run.op != entry.op)) {
            send(connection, scale_, run);
            run = Run{};
        }
        run.table = &table;
        run.op = entry.op;
        run.add(serverRow(table, entry));
    }
    if (run.table) send(connection, scale_, run);
    const OutboxEntry& last = entries.back();
    connection.exec(QStringLiteral(
                        "INSERT INTO central.scales (scale, last_version, last_table, last_key) VALUES ($1, $2, $3, $4) "
                        "ON CONFLICT (scale) DO UPDATE SET last_version = EXCLUDED.last_version, "
                        "last_table = EXCLUDED.last_table, last_key = EXCLUDED.last_key, received_at = now() "
                        "WHERE central.scales.last_version < EXCLUDED.last_version"),
                    {scale_, QString::number(last.seq), last.table, last.key});
}

int Pusher::pushBatch(PgConnection& connection, int limit) {
    const std::vector<OutboxEntry> entries = queue_.oldest(limit);
    if (entries.empty()) return 0;
    const qint64 waiting = queue_.count() - static_cast<qint64>(entries.size());
    const qint64 refused = queue_.rejectedCount();
    QList<ChainHead> witnessed;
    try {
        connection.transaction([&] {
            apply(connection, entries);
            witnessed = witness_.addChanged(connection, scale_, queue_.folder());
            reportBacklog(connection, scale_, waiting, refused);
        });
    } catch (const PgError& error) {
        witness_.forget();
        if (!isRejection(error)) throw;
        return pushOneByOne(connection, entries);
    }
    witness_.committed(witnessed);
    queue_.remove(entries);
    left_ += static_cast<qint64>(entries.size());
    return static_cast<int>(entries.size());
}

// A batch the server refused: each entry on its own finds the one it refuses.
int Pusher::pushOneByOne(PgConnection& connection, const std::vector<OutboxEntry>& entries) {
    for (const OutboxEntry& entry : entries) {
        const std::vector<OutboxEntry> one{entry};
        try {
            connection.transaction([&] { apply(connection, one); });
        } catch (const PgError& error) {
            if (!isRejection(error)) throw;
            qWarning().noquote() << QStringLiteral("Центральная база отказалась принять запись %1 %2 (%3): %4")
                                        .arg(entry.table, entry.key, entry.file, error.message());
            queue_.setAside(entry, error.message());
            ++setAside_;
            ++left_;
            continue;
        }
        queue_.remove(one);
        ++left_;
    }
    return static_cast<int>(entries.size());
}

qint64 Pusher::pushAll(PgConnection& connection) {
    const qint64 before = left_;
    while (pushBatch(connection) > 0) {
    }
    return left_ - before;
}

}  // namespace zv::central
