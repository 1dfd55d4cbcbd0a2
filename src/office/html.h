#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace zv::office {

struct Session;

// Every text from the database or the request goes through here before it is part of a page.
QString esc(const QString& text);

// A link's query from its parameters, each encoded; empty values left out, order kept.
QString queryString(const QList<QPair<QString, QString>>& items);

// Weights: kilograms as the books keep them; tonnes with three decimals for the overview.
QString kg(qint64 value);
QString tonnes(qint64 kilograms);
// "2026-12-09 14:00:05.000" (the server's text) as "09.12.2026 14:00:05"; empty for empty.
QString shownTime(const QString& serverTime);

// A whole page: heading, menu for the session's role, the body and the style sheet.
QString page(const QString& title, const QString& body, const Session* session);

// The style sheet served at /office.css, the print rules with it.
QByteArray styleSheet();

}  // namespace zv::office
