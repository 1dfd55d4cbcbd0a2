#pragma once

#include "office/connection_pool.h"
#include "office/http_server.h"
#include "office/sessions.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

namespace zv::office {

// What a page is drawn from: the request, the logged-in session and the database.
struct PageContext {
    const Request& request;
    const Session& session;
    ConnectionPool& db;
    QDateTime now;  // the service's local time: "today" on the overview, the export's stamp
    qint64 exportRows = 0;  // the most rows an export holds
};

Response htmlPage(const QString& title, const QString& body, const Session& session, int status = 200);

Response overviewPage(const PageContext& c);
Response trainsPage(const PageContext& c);
Response bookPage(const PageContext& c);
Response bookCsv(const PageContext& c);
Response bookXlsx(const PageContext& c);
Response wagonPage(const PageContext& c);
Response waybillCopyPage(const PageContext& c);
Response eventsPage(const PageContext& c);
Response integrityPage(const PageContext& c);

// Shared pieces of the pages.
QStringList scaleNames(central::PgConnection& connection);
// <select name=...> with an empty choice first; the chosen value kept.
QString selectField(const QString& name, const QString& label, const QStringList& values, const QString& chosen,
                    const QString& emptyText, const QStringList& shown = {});
QString inputField(const QString& name, const QString& label, const QString& value, const QString& type = QStringLiteral("text"));
QString numberCell(qint64 value);
QString numberCell(const QString& serverValue);  // empty for null
// A request's YYYY-MM-DD (or YYYY-MM) value, or an invalid date; problems collects its message.
QDate dateArg(const Request& r, const QString& name, QStringList& problems);
QDate monthArg(const Request& r, const QString& name, QStringList& problems);
QString problemsBlock(const QStringList& problems);
// A line saying that only the first limit rows are shown, when the query (asked for one row
// more than the limit) found more; nothing otherwise.
QString limitNotice(int rows, int limit);
// The events of the central log: the SELECT of their columns and the table of at most limit rows.
QString eventColumnsSql();
QString eventTable(const central::PgResult& r, int limit);

}  // namespace zv::office
