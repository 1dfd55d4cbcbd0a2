#pragma once

#include "central/pg_connection.h"
#include "integrity/witness_check.h"

#include <QHash>

#include <optional>

namespace zv::central {

// The heads the server witnessed for a scale that a check must still find on the scale's
// chains: those received since the last acknowledgement of that file's findings reached the
// server (an engineer's acknowledgement makes the tables as they are the reference, and it
// stays on record on the server).
QList<ChainHead> witnessedHeads(PgConnection& connection, const QString& scale);

// The comparison the program and check-records make: the folder's chains against the heads
// the server witnessed. Throws PgError (the server, an older schema) or TableError (the files).
QList<WitnessFinding> checkAgainstWitness(PgConnection& connection, const QString& scale, const QString& folder);

// What the pushes of one scale add to the witness: each sealed file's head whenever it moved
// since the one the server witnessed last.
class WitnessLedger {
public:
    // Within the push's transaction; gives the heads added, for committed() once it is over.
    QList<ChainHead> addChanged(PgConnection& connection, const QString& scale, const QString& folder);
    void committed(const QList<ChainHead>& added);
    // After a failed transaction: what the server holds is read again.
    void forget() { last_.reset(); }

private:
    std::optional<QHash<QString, ChainHead>> last_;
};

// The outbox backlog the scale reports with a push, beside its last contact.
void reportBacklog(PgConnection& connection, const QString& scale, qint64 waiting, qint64 refused);

}  // namespace zv::central
