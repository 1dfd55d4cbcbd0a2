#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace zv {
class SqliteFile;
}

// The outbox kept inside one table file: "zv_outbox" holds the entries waiting for the server,
// "zv_outbox_mark" the highest number ever given out in the file (also once its entries are
// gone, so a clock set back never makes a later change look older) and when the server last
// took entries from it.
namespace zv::central::outbox {

// The statement that enters one change: ?1 the number wanted, ?2 table, ?3 'U' or 'D', ?4 key,
// ?5 rowid. The number given is never below what the file gave out before.
const QString& insertSql();

bool exists(const SqliteFile& file);
// Makes the outbox when missing and brings one of an earlier version up to date. Run it
// outside a transaction or inside the caller's own.
void prepare(SqliteFile& file);
// The server has committed the entries up to `seq`: they go, the mark keeps their number.
void removeSent(SqliteFile& file, qint64 seq, const QDateTime& at);
// The server refused the entry for its content (not for the network): it leaves the queue for
// "zv_outbox_rejected", kept with the server's reason, so the entries after it can go.
void setAside(SqliteFile& file, qint64 seq, const QString& reason, const QDateTime& at);
qint64 rejectedCount(const SqliteFile& file);
// Puts the entries set aside back into the queue, in their places; gives how many.
qint64 retryRejected(SqliteFile& file);
// When the server last took entries from this file; invalid when never.
QDateTime lastSent(const SqliteFile& file);

}  // namespace zv::central::outbox
