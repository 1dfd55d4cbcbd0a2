#pragma once

#include "office/book_query.h"
#include "office/pages.h"
#include "office/temp_file.h"

#include <optional>

namespace zv::office {

// What the book's two exports (CSV and the spreadsheet) have in common.

// Weights as numbers, times as dates, the wagon and document numbers as text.
enum class CellKind { Text, Number, Time };
CellKind cellKind(int column);

// "book-north-2026-12.xlsx": the scale's name kept to safe letters.
QString exportName(const BookFilter& f, const PageContext& c, const char* extension);
// The finished file as the response's body, offered for saving.
Response fileResponse(TempFile& file, const QString& type, const QString& name);

// A page saying why no export is made, or nothing when it may be made: a filter the page
// could not read would export another choice than the one asked for, and a choice beyond
// the bound would arrive cut short.
std::optional<Response> exportRefusal(const BookFilter& f, const BookTotals& totals, const PageContext& c);

}  // namespace zv::office
