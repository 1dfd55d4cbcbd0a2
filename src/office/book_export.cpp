#include "office/book_query.h"
#include "office/pages.h"
#include "office/temp_file.h"

#include <xlsxwriter.h>

#include <unistd.h>

#include <stdexcept>

namespace zv::office {

namespace {

QString exportName(const BookFilter& f, const PageContext& c, const char* extension) {
    const QString scale = f.scale.isEmpty() ? QStringLiteral("all") : f.scale;
    QString safe;
    for (const QChar ch : scale) safe += (ch.isLetterOrNumber() && ch.unicode() < 128) || ch == u'-' ? ch : u'_';
    return QStringLiteral("book-%1-%2.%3")
        .arg(safe, f.month.isValid() ? f.month.toString(QStringLiteral("yyyy-MM")) : c.now.toString(QStringLiteral("yyyy-MM-dd")),
             QLatin1String(extension));
}

Response fileResponse(TempFile& file, const QString& type, const QString& name) {
    Response r;
    r.contentType = type;
    r.header(QStringLiteral("Content-Disposition"), QStringLiteral("attachment; filename=\"%1\"").arg(name));
    r.fileDescriptor = file.release();
    return r;
}

void writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0) throw std::runtime_error("cannot write the export");
        done += n;
    }
}

// Weights as numbers, times as dates, the wagon and document numbers as text.
enum class Kind { Text, Number, Time };
Kind kindOf(int column) {
    switch (column) {
    case N: case Gross: case Tare: case Net:
        return Kind::Number;
    case Accepted: case Released:
        return Kind::Time;
    default:
        return Kind::Text;
    }
}

QString csvField(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString csvCell(const central::PgResult& r, int row, int column) {
    const QString value = r.text(row, column);
    if (column == Direction) return directionText(value);
    if (kindOf(column) != Kind::Text) return value;
    // A text a spreadsheet would take for a formula is kept a text.
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStart.contains(value.front())) return csvField(u'\'' + value);
    return csvField(value);
}

lxw_datetime serverTime(const QString& text) {
    const QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return lxw_datetime{t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
                        static_cast<double>(t.time().second())};
}

void check(lxw_error error) {
    if (error != LXW_NO_ERROR) throw std::runtime_error(std::string("xlsx: ") + lxw_strerror(error));
}

}  // namespace

Response bookCsv(const PageContext& c) {
    const BookFilter f = BookFilter::fromRequest(c.request, c.now.date());
    TempFile file;
    QStringList titles;
    for (int col = 0; col < BookColumnCount; ++col) titles.append(bookColumnTitle(col));
    // With a BOM and semicolons, as a spreadsheet in Russian opens it.
    writeAll(file.fd, QByteArrayLiteral("\xEF\xBB\xBF") + titles.join(u';').toUtf8() + "\r\n");
    c.db.with([&](central::PgConnection& db) {
        BookQuery(db, f).forEachRow([&](const central::PgResult& r, int row) {
            QStringList cells;
            for (int col = 0; col < BookColumnCount; ++col) cells.append(csvCell(r, row, col));
            writeAll(file.fd, cells.join(u';').toUtf8() + "\r\n");
        });
    });
    return fileResponse(file, QStringLiteral("text/csv; charset=utf-8"), exportName(f, c, "csv"));
}

Response bookXlsx(const PageContext& c) {
    const BookFilter f = BookFilter::fromRequest(c.request, c.now.date());
    TempFile file;
    const std::string path = file.path;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as they are written
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) throw std::runtime_error("xlsx: cannot start the workbook");
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Книга");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* heading = workbook_add_format(book);
    format_set_bold(heading);
    format_set_bg_color(heading, 0xE8EDF2);
    format_set_border(heading, LXW_BORDER_THIN);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy hh:mm:ss");
    lxw_format* number = workbook_add_format(book);
    format_set_num_format(number, "# ##0");
    lxw_format* total = workbook_add_format(book);
    format_set_bold(total);
    format_set_num_format(total, "# ##0");

    const QByteArray title = QStringLiteral("Книга взвешиваний: %1").arg(f.description()).toUtf8();
    const QByteArray stamp = QStringLiteral("Выгружено %1").arg(c.now.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"))).toUtf8();
    constexpr lxw_row_t kHeadingRow = 3;
    // Sheet-wide settings first: with constant memory the rows are final once written.
    for (int col = 0; col < BookColumnCount; ++col)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col),
                             kindOf(col) == Kind::Time ? 19 : (kindOf(col) == Kind::Number ? 11 : 14), nullptr);
    worksheet_freeze_panes(sheet, kHeadingRow + 1, 0);
    worksheet_write_string(sheet, 0, 0, title.constData(), bold);
    worksheet_write_string(sheet, 1, 0, stamp.constData(), nullptr);
    for (int col = 0; col < BookColumnCount; ++col)
        worksheet_write_string(sheet, kHeadingRow, static_cast<lxw_col_t>(col), bookColumnTitle(col).toUtf8().constData(), heading);
    lxw_row_t row = kHeadingRow + 1;
    double sums[BookColumnCount] = {};
    c.db.with([&](central::PgConnection& db) {
        BookQuery(db, f).forEachRow([&](const central::PgResult& r, int i) {
            for (int col = 0; col < BookColumnCount; ++col) {
                const auto x = static_cast<lxw_col_t>(col);
                if (r.isNull(i, col)) continue;
                const QString value = r.text(i, col);
                switch (kindOf(col)) {
                case Kind::Number:
                    sums[col] += value.toDouble();
                    worksheet_write_number(sheet, row, x, value.toDouble(), number);
                    break;
                case Kind::Time: {
                    lxw_datetime t = serverTime(value);
                    worksheet_write_datetime(sheet, row, x, &t, date);
                    break;
                }
                case Kind::Text:
                    worksheet_write_string(sheet, row, x, (col == Direction ? directionText(value) : value).toUtf8().constData(), nullptr);
                    break;
                }
            }
            ++row;
        });
    });
    const lxw_row_t last = row - 1;
    worksheet_autofilter(sheet, kHeadingRow, 0, std::max(last, kHeadingRow), BookColumnCount - 1);
    worksheet_write_string(sheet, row, 0, "Итого", total);
    for (int col : {Gross, Tare, Net}) {
        // The sum of the rows above, so that it follows an edit in the spreadsheet.
        char from[16], to[16];
        lxw_rowcol_to_cell(from, kHeadingRow + 1, static_cast<lxw_col_t>(col));
        lxw_rowcol_to_cell(to, std::max(last, kHeadingRow + 1), static_cast<lxw_col_t>(col));
        const std::string formula = std::string("=SUBTOTAL(9,") + from + ":" + to + ")";
        worksheet_write_formula_num(sheet, row, static_cast<lxw_col_t>(col), formula.c_str(), total, sums[col]);
    }
    check(workbook_close(book));
    return fileResponse(file, QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"),
                        exportName(f, c, "xlsx"));
}

}  // namespace zv::office
