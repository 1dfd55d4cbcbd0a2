#pragma once

#include <QString>
#include <optional>

#include "settings/settings.h"

namespace zv {

// What `zolvelt-tool report` asks for, its options already read.
struct ReportRequest {
    enum class Kind { Book, Trains, Waybill };

    Kind kind = Kind::Book;
    QString folder;     // --db: the folder of the working tables
    Settings settings;  // from --ini: headings and the steps of the derived fields
    QString bookFile;   // --book: a file name in the folder; empty: this month's book
    QString filter;     // --filter: a weighing-book filter expression (book, waybill)
    std::optional<int>
        row;          // --row: the key `N` of the book row of the waybill; none: the first row
    QString pdfPath;  // --pdf
    QString txtPath;  // --txt
    QString csvPath;  // --csv: the spreadsheet of the book or the trains
};

// "book", "trains" or "waybill"; nullopt for anything else.
std::optional<ReportRequest::Kind> reportKind(const QString& word);

// Opens the tables the report reads (never creating one), renders the layout with the same
// engine as the preview and writes the PDF, text and/or CSV file. Throws ReportError with a
// message for the operator on a missing table, a bad filter, a missing row or a file that
// cannot be written. Makes a QGuiApplication (offscreen when there is no display) if the
// caller has none, since fonts need one.
void runReport(const ReportRequest& request);

}  // namespace zv
