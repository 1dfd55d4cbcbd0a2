#include "office/book_export.h"

#include "office/html.h"

#include <unistd.h>

#include <stdexcept>

namespace zv::office {

CellKind cellKind(int column) {
    switch (column) {
    case N: case Gross: case Tare: case Net:
        return CellKind::Number;
    case Accepted: case Released:
        return CellKind::Time;
    default:
        return CellKind::Text;
    }
}

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

std::optional<Response> exportRefusal(const BookFilter& f, const BookTotals& totals, const PageContext& c) {
    QStringList reasons = f.problems;
    if (totals.rows > c.exportRows)
        reasons.append(QStringLiteral("Выбрано %1 записей, а выгрузка берет не больше %2: сузьте выбор (весы, месяц, даты)")
                           .arg(totals.rows)
                           .arg(c.exportRows));
    if (reasons.isEmpty()) return std::nullopt;
    return htmlPage(QStringLiteral("Выгрузка не сделана"),
                    problemsBlock(reasons) +
                        QStringLiteral("<p><a href=\"/book%1\">Вернуться к книге</a></p>").arg(esc(f.query())),
                    c.session, 400);
}

namespace {

void writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0) throw std::runtime_error("cannot write the export");
        done += n;
    }
}

QString csvField(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString csvCell(const central::PgResult& r, int row, int column) {
    const QString value = r.text(row, column);
    if (column == Direction) return directionText(value);
    if (cellKind(column) != CellKind::Text) return value;
    // A text a spreadsheet would take for a formula is kept a text.
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStart.contains(value.front())) return csvField(u'\'' + value);
    return csvField(value);
}

}  // namespace

Response bookCsv(const PageContext& c) {
    const BookFilter f = BookFilter::fromRequest(c.request, c.now.date());
    TempFile file;
    std::optional<Response> refusal;
    c.db.with([&](central::PgConnection& db) {
        BookQuery q(db, f);
        refusal = exportRefusal(f, q.totals(), c);
        if (refusal) return;
        QStringList titles;
        for (int col = 0; col < BookColumnCount; ++col) titles.append(bookColumnTitle(col));
        // With a BOM and semicolons, as a spreadsheet in Russian opens it.
        writeAll(file.fd, QByteArrayLiteral("\xEF\xBB\xBF") + titles.join(u';').toUtf8() + "\r\n");
        q.forEachRow(c.exportRows, [&](const central::PgResult& r, int row) {
            QStringList cells;
            for (int col = 0; col < BookColumnCount; ++col) cells.append(csvCell(r, row, col));
            writeAll(file.fd, cells.join(u';').toUtf8() + "\r\n");
        });
    });
    if (refusal) return *refusal;
    return fileResponse(file, QStringLiteral("text/csv; charset=utf-8"), exportName(f, c, "csv"));
}

}  // namespace zv::office
