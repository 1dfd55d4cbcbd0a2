#pragma once

#include "central/outbox_queue.h"
#include "central/pg_connection.h"
#include "central/witness.h"

namespace zv::central {

// Sends a folder's outbox to the server in the order of the writes, one batch per server
// transaction. The server applies an entry only when it is newer than the row it holds, so a
// batch sent twice (the program died after the server committed it, before the entries were
// removed) changes nothing; entries are removed only after the server's commit.
class Pusher {
public:
    Pusher(QString folder, QString scale) : queue_(std::move(folder)), scale_(std::move(scale)) {}

    // One batch of up to limit entries; gives how many left the queue (0: the outbox is empty).
    // With the batch go the heads of the folder's seal chains that moved (the witness) and the
    // backlog left after it.
    // An entry the server refuses for its content is set aside with the reason (see
    // OutboxQueue::setAside) and the others go. Throws PgError (the server, also a missing or
    // other schema) or TableError (the files).
    int pushBatch(PgConnection& connection, int limit = kBatch);
    // Batches until the outbox is empty; gives the number sent.
    qint64 pushAll(PgConnection& connection);

    const OutboxQueue& queue() const { return queue_; }
    qint64 setAside() const { return setAside_; }  // entries the server refused in this run
    // Entries that left the queue in this run (those set aside among them), also when a
    // later batch failed.
    qint64 leftQueue() const { return left_; }

    static constexpr int kBatch = 2000;

private:
    void apply(PgConnection& connection, const std::vector<OutboxEntry>& entries);
    int pushOneByOne(PgConnection& connection, const std::vector<OutboxEntry>& entries);

    OutboxQueue queue_;
    QString scale_;
    WitnessLedger witness_;
    qint64 setAside_ = 0;
    qint64 left_ = 0;
};

}  // namespace zv::central
