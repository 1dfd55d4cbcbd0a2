#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace zv {

// The end of a table file's seal chain: its last entry number and seal.
struct SealHead {
    qint64 n = 0;
    QByteArray seal;
    bool operator==(const SealHead&) const = default;
};

// The heads of the chains as the program saw them last, kept outside the tables folder (beside
// the key), so that a table file put back from an older copy is told from the file it replaced.
// The list carries a keyed hash of itself: a list edited without the key reads as empty and is
// reported. Files are named by their absolute paths. Every save counts a generation, which the
// event log notes as well (see heads_generation.h), so that a list put back from an older copy of
// itself is told too.
class SealHeads {
public:
    SealHeads(QString path, QByteArray key) : path_(std::move(path)), key_(std::move(key)) {}

    // False when the file is there but its own seal does not match (it was edited).
    bool load();
    bool save();  // atomically, as the next generation; false when it cannot be written

    std::optional<SealHead> head(const QString& filePath) const;
    void setHead(const QString& filePath, const SealHead& head);
    void forget(const QString& filePath) { changed_ = heads_.remove(filePath) > 0 || changed_; }
    // Whether a head moved since the list was loaded or saved.
    bool changed() const { return changed_; }
    QStringList files() const { return heads_.keys(); }
    const QString& path() const { return path_; }
    // The saves made so far; 0 for a list of an earlier version, which kept no count.
    qint64 generation() const { return generation_; }
    // The next save counts on from here (the log may have seen a later one).
    void setGeneration(qint64 generation) { generation_ = generation; }

private:
    QByteArray body() const;

    QString path_;
    QByteArray key_;
    QMap<QString, SealHead> heads_;
    qint64 generation_ = 0;
    bool changed_ = false;
};

}  // namespace zv
