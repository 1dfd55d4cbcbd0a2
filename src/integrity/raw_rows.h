#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3_stmt;

namespace zv {

class SealHash;
class SqliteFile;

// Rows read straight from SQLite, without a QVariant per value: the seals read every row of
// a table, and a check of 100 000 rows must take well under a second.
class RawRows {
public:
    RawRows(const SqliteFile& file, const QString& sql);  // throws TableError
    ~RawRows();
    RawRows(const RawRows&) = delete;
    RawRows& operator=(const RawRows&) = delete;

    void bind(int index, qint64 value);  // index from 1
    void bindText(int index, const QByteArray& text);
    void reset();  // for the next run; a statement kept for reuse is reset after every use
    bool step();  // throws TableError
    qint64 integer(int column) const;
    QByteArray text(int column) const;
    // Hex SHA-256 of the values from `from` on, each tagged with its kind and, for text and
    // blobs, its length, so that no two rows share an encoding.
    QByteArray digest(int from) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    mutable std::unique_ptr<SealHash> hash_;
};

}  // namespace zv
