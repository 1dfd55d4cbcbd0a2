#include "office/book_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <stdexcept>

namespace zv::office {

namespace {

struct Formats {
    lxw_format* title;
    lxw_format* heading;
    lxw_format* time;
    lxw_format* number;
    lxw_format* total;
};

Formats addFormats(lxw_workbook* book) {
    Formats f{};
    f.title = workbook_add_format(book);
    format_set_bold(f.title);
    f.heading = workbook_add_format(book);
    format_set_bold(f.heading);
    format_set_bg_color(f.heading, 0xE8EDF2);
    format_set_border(f.heading, LXW_BORDER_THIN);
    f.time = workbook_add_format(book);
    format_set_num_format(f.time, "dd.mm.yyyy hh:mm:ss");
    // Thousands apart by the reader's own separator (a space in Russian).
    f.number = workbook_add_format(book);
    format_set_num_format(f.number, "#,##0");
    f.total = workbook_add_format(book);
    format_set_bold(f.total);
    format_set_num_format(f.total, "#,##0");
    return f;
}

lxw_datetime sheetTime(const QDateTime& t) {
    return lxw_datetime{t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
                        static_cast<double>(t.time().second())};
}

void check(lxw_error error) {
    if (error != LXW_NO_ERROR) throw std::runtime_error(std::string("xlsx: ") + lxw_strerror(error));
}

void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text, lxw_format* format = nullptr) {
    worksheet_write_string(sheet, row, col, text.toUtf8().constData(), format);
}

constexpr lxw_row_t kHeadingRow = 3;

// The top of the book's sheet: what was chosen, how many rows and when, the column titles.
void writeHead(lxw_worksheet* sheet, const Formats& fm, const BookFilter& f, const BookTotals& totals, const QDateTime& now) {
    // Sheet-wide settings first: with constant memory the rows are final once written.
    for (int col = 0; col < BookColumnCount; ++col) {
        const CellKind kind = cellKind(col);
        worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col),
                             kind == CellKind::Time ? 19 : (kind == CellKind::Number ? 11 : 14), nullptr);
    }
    worksheet_freeze_panes(sheet, kHeadingRow + 1, 0);
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, kHeadingRow, kHeadingRow);

    writeText(sheet, 0, 0, QStringLiteral("Книга взвешиваний: %1").arg(f.description()), fm.title);
    writeText(sheet, 1, 0, QStringLiteral("Записей"));
    worksheet_write_number(sheet, 1, 1, static_cast<double>(totals.rows), fm.number);
    writeText(sheet, 1, 2, QStringLiteral("Выгружено"));
    lxw_datetime stamp = sheetTime(now);
    worksheet_write_datetime(sheet, 1, 3, &stamp, fm.time);
    for (int col = 0; col < BookColumnCount; ++col)
        writeText(sheet, kHeadingRow, static_cast<lxw_col_t>(col), bookColumnTitle(col), fm.heading);
}

// One weighing; its weights added to the sums of the rows written.
void writeRow(lxw_worksheet* sheet, const Formats& fm, lxw_row_t row, const central::PgResult& r, int i, BookTotals& sums) {
    ++sums.rows;
    for (int col = 0; col < BookColumnCount; ++col) {
        if (r.isNull(i, col)) continue;  // no tare: an empty cell, not a zero
        const auto x = static_cast<lxw_col_t>(col);
        const QString value = r.text(i, col);
        switch (cellKind(col)) {
        case CellKind::Number:
            if (col == Gross) sums.gross += value.toLongLong();
            if (col == Tare) sums.tare += value.toLongLong();
            if (col == Net) sums.net += value.toLongLong();
            worksheet_write_number(sheet, row, x, value.toDouble(), fm.number);
            break;
        case CellKind::Time: {
            lxw_datetime t = sheetTime(QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            worksheet_write_datetime(sheet, row, x, &t, fm.time);
            break;
        }
        case CellKind::Text:
            writeText(sheet, row, x, col == Direction ? directionText(value) : value);
            break;
        }
    }
}

// Under the rows: the weights' sums as formulas (they follow an edit in the spreadsheet) with
// the rows' sums as their values, and the autofilter over the rows.
void writeTotalRow(lxw_worksheet* sheet, const Formats& fm, lxw_row_t row, const BookTotals& sums) {
    const lxw_row_t first = kHeadingRow + 1, last = std::max(first, row - 1);
    worksheet_autofilter(sheet, kHeadingRow, 0, std::max(row - 1, kHeadingRow), BookColumnCount - 1);
    writeText(sheet, row, 0, QStringLiteral("Итого"), fm.total);
    for (const auto& [col, sum] : {std::pair{Gross, sums.gross}, std::pair{Tare, sums.tare}, std::pair{Net, sums.net}}) {
        char from[16], to[16];
        lxw_rowcol_to_cell(from, first, static_cast<lxw_col_t>(col));
        lxw_rowcol_to_cell(to, last, static_cast<lxw_col_t>(col));
        const std::string formula = std::string("=SUBTOTAL(9,") + from + ":" + to + ")";
        worksheet_write_formula_num(sheet, row, static_cast<lxw_col_t>(col), formula.c_str(), fm.total, static_cast<double>(sum));
    }
}

struct Grouping {
    QString title;
    QList<GroupTotals> groups;
};

// A second sheet with the totals by client, load and station, as under the book's page.
void writeGroupSheet(lxw_workbook* book, const Formats& fm, const BookFilter& f, const QList<Grouping>& groupings) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Итоги");
    if (!sheet) throw std::runtime_error("xlsx: cannot add the totals sheet");
    worksheet_set_column(sheet, 0, 0, 32, nullptr);
    worksheet_set_column(sheet, 1, 4, 13, nullptr);
    writeText(sheet, 0, 0, QStringLiteral("Итоги книги взвешиваний: %1").arg(f.description()), fm.title);
    lxw_row_t row = 2;
    for (const Grouping& g : groupings) {
        const QStringList titles = {g.title, QStringLiteral("Вагонов"), bookColumnTitle(Gross), bookColumnTitle(Tare),
                                    bookColumnTitle(Net)};
        for (int col = 0; col < titles.size(); ++col) writeText(sheet, row, static_cast<lxw_col_t>(col), titles[col], fm.heading);
        ++row;
        for (const GroupTotals& group : g.groups) {
            writeText(sheet, row, 0, group.name.isNull() ? QStringLiteral("не указан") : group.name);
            const qint64 values[] = {group.totals.rows, group.totals.gross, group.totals.tare, group.totals.net};
            for (int col = 0; col < 4; ++col)
                worksheet_write_number(sheet, row, static_cast<lxw_col_t>(col + 1), static_cast<double>(values[col]), fm.number);
            ++row;
        }
        ++row;
    }
}

}  // namespace

Response bookXlsx(const PageContext& c) {
    const BookFilter f = BookFilter::fromRequest(c.request, c.now.date());
    TempFile file;
    const std::string path = file.path;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as they are written
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) throw std::runtime_error("xlsx: cannot start the workbook");
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Книга");
    const Formats fm = addFormats(book);
    std::optional<Response> refusal;
    try {
        c.db.with([&](central::PgConnection& db) {
            BookQuery q(db, f);
            const BookTotals totals = q.totals();
            refusal = exportRefusal(f, totals, c);
            if (refusal) return;
            writeHead(sheet, fm, f, totals, c.now);
            BookTotals sums;
            const auto nextRow = [&] { return static_cast<lxw_row_t>(kHeadingRow + 1 + sums.rows); };
            q.forEachRow(c.exportRows, [&](const central::PgResult& r, int i) { writeRow(sheet, fm, nextRow(), r, i, sums); });
            writeTotalRow(sheet, fm, nextRow(), sums);
            writeGroupSheet(book, fm, f,
                            {{QStringLiteral("Клиент"), q.totalsBy(QStringLiteral("client"))},
                             {QStringLiteral("Груз"), q.totalsBy(QStringLiteral("load"))},
                             {QStringLiteral("Станция"), q.totalsBy(QStringLiteral("station"))}});
        });
    } catch (...) {
        workbook_close(book);
        throw;
    }
    check(workbook_close(book));
    if (refusal) return *refusal;
    return fileResponse(file, QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"),
                        exportName(f, c, "xlsx"));
}

}  // namespace zv::office
