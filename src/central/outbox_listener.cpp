#include "central/outbox_listener.h"

#include "central/central_tables.h"
#include "records/date_time_text.h"
#include "records/row.h"
#include "records/sqlite_file.h"
#include "records/table.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>

namespace zv::central {

namespace {

const QString kCreate = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS zv_outbox (seq INTEGER PRIMARY KEY, tbl TEXT NOT NULL, op TEXT NOT NULL, "
    "pk TEXT, row TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS zv_outbox_mark (last INTEGER NOT NULL);"
    "INSERT INTO zv_outbox_mark SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM zv_outbox_mark)");

QJsonValue jsonValue(const QVariant& value) {
    if (value.isNull()) return QJsonValue::Null;
    if (value.typeId() == QMetaType::QDateTime) return dateTimeToStorage(value.toDateTime());
    if (value.typeId() == QMetaType::QString) return value.toString();
    return value.toLongLong();
}

}  // namespace

QString rowJson(const Row& row, const QStringList& skipped) {
    QJsonObject object;
    const TableDef& def = row.def();
    for (int i = 0; i < def.fields.size(); ++i) {
        const FieldDef& field = def.fields[i];
        if (!field.isStored() || skipped.contains(field.name)) continue;
        object.insert(field.name.toLower(), jsonValue(row.valueAt(i)));
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString rowKey(const Row& row) {
    const QString& key = row.def().primaryKey;
    if (key.isEmpty()) return QString::number(row.rowId());
    const QVariant value = row.value(key);
    if (value.typeId() == QMetaType::QDateTime) return dateTimeToStorage(value.toDateTime());
    return value.toString();
}

void OutboxListener::rowWritten(Table& table, const Row* before, const Row& after) {
    // A changed identity is a new row on the server: the old one goes first.
    if (before && rowKey(*before) != rowKey(after)) enter(table, 'D', *before);
    enter(table, 'U', after);
}

void OutboxListener::rowRemoved(Table& table, const Row& before) { enter(table, 'D', before); }

qint64 OutboxListener::nextNumber() const {
    const qint64 now = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    return std::max(now, last_ + 1);
}

void OutboxListener::enter(Table& table, char op, const Row& row) {
    SqliteFile& file = table.sqliteFile();
    file.exec(kCreate);
    SqlStatement insert = file.prepare(QStringLiteral(
        "INSERT INTO zv_outbox (seq, tbl, op, pk, row) "
        "VALUES (max(?1, (SELECT last + 1 FROM zv_outbox_mark), (SELECT coalesce(max(seq), 0) + 1 FROM zv_outbox)), "
        "?2, ?3, ?4, ?5)"));
    insert.bindAll({nextNumber(), table.def().name, QString(QChar::fromLatin1(op)), rowKey(row),
                    rowJson(row, serverTableFor(table.def().name).skippedFields)});
    insert.step();
    last_ = file.lastInsertRowId();
    SqlStatement mark = file.prepare(QStringLiteral("UPDATE zv_outbox_mark SET last = ?"));
    mark.bind(1, last_);
    mark.step();
    if (entered_) entered_();
}

}  // namespace zv::central
