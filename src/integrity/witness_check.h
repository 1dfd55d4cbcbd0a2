#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

namespace zv {

// The head of one sealed file's chain: the file's name in the tables folder, the number of its
// last chain entry and that entry's seal. The central database keeps the heads each push
// found, so a chain rewritten or put back on the scale PC later no longer passes through them.
struct ChainHead {
    QString file;  // "Book[12.2026].db"
    qint64 n = 0;
    QByteArray head;
    bool operator==(const ChainHead&) const = default;
};

// The heads of the chains of every sealed file of a folder that has at least one entry.
QList<ChainHead> chainHeadsIn(const QString& folder);

// What the comparison with the witness found about one file.
struct WitnessFinding {
    QString title;  // "Таблица Trains", as the local findings name it
    QString text;   // "Таблица Trains: по данным центральной базы ..."
};

// Each witnessed head must still be on the chain of its file: the entry of that number with
// that seal. A file gone, a chain shorter than a witnessed one or with another seal there is
// a finding. Throws TableError when a file cannot be read.
QList<WitnessFinding> compareWithWitness(const QString& folder, const QList<ChainHead>& witnessed);

}  // namespace zv

Q_DECLARE_METATYPE(zv::WitnessFinding)
