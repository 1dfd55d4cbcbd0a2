#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace zv {
class SqliteFile;
}

namespace zv::central {

struct OutboxEntry {
    qint64 seq = 0;
    QString file;   // the table file it was written in ("Book[12.2026].db")
    QString table;  // the table's name in that file
    char op = 'U';  // 'U' the row was stored, 'D' it was deleted
    QString key;    // the row's identity
    qint64 rowId = 0;
    QString row;    // 'U': the row's stored fields as they are now, as JSON; empty when it is gone
};

// The outboxes of every table file of a folder, read through connections of its own (the
// sender's thread), merged into one queue in the order of their numbers.
class OutboxQueue {
public:
    explicit OutboxQueue(QString folder) : folder_(std::move(folder)) {}

    // The oldest entries, up to limit, with the rows they name read from their files now.
    // Throws TableError when a file cannot be read.
    std::vector<OutboxEntry> oldest(int limit) const;
    // Removes what oldest() gave once the server has committed it.
    void remove(const std::vector<OutboxEntry>& sent) const;
    qint64 count() const;
    // An entry the server refused for its content: kept aside with the reason, out of the way
    // of the entries after it.
    void setAside(const OutboxEntry& entry, const QString& reason) const;
    qint64 rejectedCount() const;
    qint64 retryRejected() const;  // back into the queue; gives how many
    // When the server last took entries from this folder (kept in the files, so it outlives a
    // restart); invalid when never.
    QDateTime lastSent() const;
    const QString& folder() const { return folder_; }

private:
    QStringList files() const;
    qint64 sumOverFiles(const std::function<qint64(SqliteFile&)>& each) const;

    QString folder_;
};

}  // namespace zv::central
