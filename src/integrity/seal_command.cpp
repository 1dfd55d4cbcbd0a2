#include "integrity/seal_command.h"

#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/records_folder.h"
#include "integrity/seal_check.h"
#include "integrity/seal_heads.h"
#include "records/clock.h"

#include <QFileInfo>

namespace zv {

namespace {

QString rowsText(int rows) { return QStringLiteral("опечатано записей: %1").arg(rows); }

}  // namespace

QList<SealedTable> sealOnCommand(const QString& folder, const QByteArray& key, EventLog& log, SealHeads& heads,
                                 const QString& by) {
    QList<SealedTable> sealed;
    // All first: the log itself may be among them.
    for (const SealedFile& file : unsealedFilesIn(folder))
        sealed.append({tableTitle(QFileInfo(file.path).fileName()), headsPathOf(file.path), sealFile(file, key)});
    for (const SealedTable& table : sealed) {
        log.append(Event{0, log.clock().now(), by, event_kind::TableSealed, table.title, {}, rowsText(table.rows)});
        heads.forget(table.path);
    }
    return sealed;
}

QString sealedText(const SealedTable& table) { return QStringLiteral("%1: %2").arg(table.title, rowsText(table.rows)); }

}  // namespace zv
