#include "central/witness.h"

#include "central/central_schema.h"
#include "integrity/event_kinds.h"
#include "integrity/seal_check.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace zv::central {

namespace {

// When the last acknowledgement of each title's findings reached the server (its own time, as
// text that casts back exactly).
QHash<QString, QString> lastAcknowledgements(PgConnection& connection, const QString& scale) {
    const PgResult r = connection.exec(QStringLiteral(
        "SELECT data->>'subject', max(received_at)::text FROM central.events "
        "WHERE scale = $1 AND tbl = 'Events' AND data->>'kind' = $2 GROUP BY 1"),
        {scale, event_kind::FindingAcknowledged});
    QHash<QString, QString> at;
    for (int i = 0; i < r.rows(); ++i) at.insert(r.text(i, 0), r.text(i, 1));
    return at;
}

// {"Trains.db": "2026-12-11 10:15:00.123456+00", ...}: for each witnessed file, the time from
// which its heads count.
QString countingFrom(PgConnection& connection, const QString& scale) {
    const QHash<QString, QString> acknowledged = lastAcknowledgements(connection, scale);
    QJsonObject from;
    if (acknowledged.isEmpty()) return QStringLiteral("{}");
    const PgResult files = connection.exec(QStringLiteral("SELECT DISTINCT file FROM central.witness WHERE scale = $1"), {scale});
    for (int i = 0; i < files.rows(); ++i) {
        const auto ack = acknowledged.constFind(tableTitle(files.text(i, 0)));
        if (ack != acknowledged.constEnd()) from.insert(files.text(i, 0), *ack);
    }
    return QString::fromUtf8(QJsonDocument(from).toJson(QJsonDocument::Compact));
}

ChainHead headOf(const PgResult& r, int row) { return {r.text(row, 0), r.text(row, 1).toLongLong(), r.text(row, 2).toLatin1()}; }

QHash<QString, ChainHead> lastWitnessed(PgConnection& connection, const QString& scale) {
    const PgResult r = connection.exec(QStringLiteral(
        "SELECT DISTINCT ON (file) file, n, head FROM central.witness WHERE scale = $1 "
        "ORDER BY file, received_at DESC, n DESC"), {scale});
    QHash<QString, ChainHead> heads;
    for (int i = 0; i < r.rows(); ++i) heads.insert(r.text(i, 0), headOf(r, i));
    return heads;
}

}  // namespace

QList<ChainHead> witnessedHeads(PgConnection& connection, const QString& scale) {
    requireCurrentSchema(connection);
    // Heads that reached the server together with the acknowledgement are of the tables after it.
    const PgResult r = connection.exec(QStringLiteral(
        "SELECT w.file, w.n, w.head FROM central.witness w LEFT JOIN jsonb_each_text($2::jsonb) a (file, at) "
        "ON a.file = w.file WHERE w.scale = $1 AND (a.at IS NULL OR w.received_at >= a.at::timestamptz)"),
        {scale, countingFrom(connection, scale)});
    QList<ChainHead> heads;
    heads.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i) heads.append(headOf(r, i));
    return heads;
}

QList<WitnessFinding> checkAgainstWitness(PgConnection& connection, const QString& scale, const QString& folder) {
    return compareWithWitness(folder, witnessedHeads(connection, scale));
}

QList<ChainHead> WitnessLedger::addChanged(PgConnection& connection, const QString& scale, const QString& folder) {
    if (!last_) last_ = lastWitnessed(connection, scale);
    const QString sentAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    QList<ChainHead> added;
    for (const ChainHead& head : chainHeadsIn(folder)) {
        if (last_->value(head.file) == head) continue;
        connection.exec(QStringLiteral("INSERT INTO central.witness (scale, file, n, head, sent_at) VALUES ($1, $2, $3, $4, $5) "
                                       "ON CONFLICT DO NOTHING"),
                        {scale, head.file, QString::number(head.n), QString::fromLatin1(head.head), sentAt});
        added.append(head);
    }
    return added;
}

void WitnessLedger::committed(const QList<ChainHead>& added) {
    if (!last_) return;
    for (const ChainHead& head : added) last_->insert(head.file, head);
}

void reportBacklog(PgConnection& connection, const QString& scale, qint64 waiting, qint64 refused) {
    connection.exec(QStringLiteral("UPDATE central.scales SET outbox_waiting = $2, outbox_refused = $3, "
                                   "outbox_reported_at = now() WHERE scale = $1"),
                    {scale, QString::number(waiting), QString::number(refused)});
}

}  // namespace zv::central
