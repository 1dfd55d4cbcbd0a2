#include "central/outbox_queue.h"

#include "central/central_tables.h"
#include "central/outbox_file.h"
#include "records/sqlite_file.h"
#include "records/table_error.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>

namespace zv::central {

namespace {

// Opens a table file of the folder for the queue; false for a file that is no table file.
bool openTableFile(SqliteFile& file, const QString& path) {
    try {
        file.open(path, false);
        return outbox::exists(file);
    } catch (const TableError&) {
        return false;  // another program's file, or one being made: no entries of ours
    }
}

// The row under rowId as a JSON object of its stored columns, named in lower case; empty when
// the row is gone.
QString currentRow(SqlStatement& read, const OutboxEntry& entry) {
    read.reset();
    read.bind(1, entry.rowId);
    if (!read.step()) return {};
    const QStringList& skipped = serverTableFor(entry.table).skippedFields;
    QJsonObject object;
    for (int c = 0; c < read.columnCount(); ++c) {
        const QString name = read.columnName(c);
        if (skipped.contains(name, Qt::CaseInsensitive)) continue;
        object.insert(name.toLower(), QJsonValue::fromVariant(read.column(c)));
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace

QStringList OutboxQueue::files() const {
    QStringList paths;
    const QDir dir(folder_);
    for (const QString& name : dir.entryList({QStringLiteral("*.db")}, QDir::Files)) paths.append(dir.filePath(name));
    return paths;
}

std::vector<OutboxEntry> OutboxQueue::oldest(int limit) const {
    std::vector<OutboxEntry> entries;
    for (const QString& path : files()) {
        SqliteFile file;
        if (!openTableFile(file, path)) continue;
        SqlStatement query = file.prepare(QStringLiteral("SELECT seq, tbl, op, pk, ref FROM zv_outbox ORDER BY seq LIMIT ?"));
        query.bind(1, limit);
        const QString name = QFileInfo(path).fileName();
        std::map<QString, SqlStatement> reads;  // one per table of the file
        while (query.step()) {
            OutboxEntry entry{query.columnInt64(0), name, query.column(1).toString(),
                              query.column(2).toString() == QStringLiteral("D") ? 'D' : 'U', query.column(3).toString(),
                              query.columnInt64(4), {}};
            if (entry.op == 'U') {
                auto read = reads.find(entry.table);
                if (read == reads.end())
                    read = reads.emplace(entry.table, file.prepare(QStringLiteral("SELECT * FROM \"%1\" WHERE rowid = ?").arg(entry.table))).first;
                entry.row = currentRow(read->second, entry);
            }
            entries.push_back(std::move(entry));
        }
    }
    std::sort(entries.begin(), entries.end(), [](const OutboxEntry& a, const OutboxEntry& b) { return a.seq < b.seq; });
    if (entries.size() > static_cast<std::size_t>(limit)) entries.resize(limit);
    return entries;
}

void OutboxQueue::remove(const std::vector<OutboxEntry>& sent) const {
    // The entries taken from a file are the oldest of that file, so one bound removes them.
    std::map<QString, qint64> upTo;
    for (const OutboxEntry& e : sent) upTo[e.file] = std::max(upTo[e.file], e.seq);
    const QDir dir(folder_);
    const QDateTime now = QDateTime::currentDateTime();
    for (const auto& [name, seq] : upTo) {
        SqliteFile file;
        file.open(dir.filePath(name), false);
        outbox::removeSent(file, seq, now);
    }
}

void OutboxQueue::setAside(const OutboxEntry& entry, const QString& reason) const {
    SqliteFile file;
    file.open(QDir(folder_).filePath(entry.file), false);
    outbox::setAside(file, entry.seq, reason, QDateTime::currentDateTime());
}

qint64 OutboxQueue::rejectedCount() const {
    return sumOverFiles([](SqliteFile& file) { return outbox::rejectedCount(file); });
}

qint64 OutboxQueue::retryRejected() const {
    return sumOverFiles([](SqliteFile& file) { return outbox::retryRejected(file); });
}

QDateTime OutboxQueue::lastSent() const {
    QDateTime last;
    for (const QString& path : files()) {
        SqliteFile file;
        if (!openTableFile(file, path)) continue;
        const QDateTime sent = outbox::lastSent(file);
        if (sent.isValid() && (!last.isValid() || sent > last)) last = sent;
    }
    return last;
}

qint64 OutboxQueue::sumOverFiles(const std::function<qint64(SqliteFile&)>& each) const {
    qint64 total = 0;
    for (const QString& path : files()) {
        SqliteFile file;
        if (openTableFile(file, path)) total += each(file);
    }
    return total;
}

qint64 OutboxQueue::count() const {
    return sumOverFiles([](SqliteFile& file) {
        SqlStatement query = file.prepare(QStringLiteral("SELECT count(*) FROM zv_outbox"));
        return query.step() ? query.columnInt64(0) : 0;
    });
}

}  // namespace zv::central
