#include "office/office_fixture.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace zv {
namespace {

using ::testing::HasSubstr;
using test::OfficeFixture;

// One member of a zip file, read by Debian's unzip.
QString zipMember(const QString& zip, const QString& member) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    unzip.waitForFinished(10000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// The cells of a sheet's XML by reference ("A5"): a number's value, or a text's string.
struct Cell {
    QString type;   // "", "s" (shared string), "inlineStr", "str" (formula text)
    QString style;
    QString value;  // the number, the text, or the formula's cached value
    QString formula;
};

QHash<QString, Cell> cells(const QString& sheet, const QStringList& shared) {
    static const QRegularExpression cell(QStringLiteral("<c r=\"([A-Z]+[0-9]+)\"([^>]*?)(?:/>|>(.*?)</c>)"));
    static const QRegularExpression attr(QStringLiteral("(\\w+)=\"([^\"]*)\""));
    static const QRegularExpression v(QStringLiteral("<v>(.*?)</v>")), f(QStringLiteral("<f>(.*?)</f>")), t(QStringLiteral("<t[^>]*>(.*?)</t>"));
    QHash<QString, Cell> out;
    for (auto m = cell.globalMatch(sheet); m.hasNext();) {
        const auto match = m.next();
        Cell c;
        for (auto a = attr.globalMatch(match.captured(2)); a.hasNext();) {
            const auto am = a.next();
            if (am.captured(1) == QStringLiteral("t")) c.type = am.captured(2);
            if (am.captured(1) == QStringLiteral("s")) c.style = am.captured(2);
        }
        const QString inner = match.captured(3);
        c.formula = f.match(inner).captured(1);
        c.value = c.type == QStringLiteral("inlineStr") ? t.match(inner).captured(1) : v.match(inner).captured(1);
        if (c.type == QStringLiteral("s")) c.value = shared.value(c.value.toInt());
        out.insert(match.captured(1), c);
    }
    return out;
}

QStringList sharedStrings(const QString& xml) {
    static const QRegularExpression si(QStringLiteral("<si>.*?<t[^>]*>(.*?)</t>.*?</si>"));
    QStringList out;
    for (auto m = si.globalMatch(xml); m.hasNext();) out.append(m.next().captured(1));
    return out;
}

// The number format of a cell's style: the code of a format the file defines, or "builtin N".
QString numberFormat(const QString& styles, const QString& styleIndex) {
    static const QRegularExpression xfs(QStringLiteral("<cellXfs[^>]*>(.*?)</cellXfs>")), xf(QStringLiteral("<xf numFmtId=\"([0-9]+)\""));
    QStringList ids;
    for (auto m = xf.globalMatch(xfs.match(styles).captured(1)); m.hasNext();) ids.append(m.next().captured(1));
    const QString id = ids.value(styleIndex.toInt());
    const QRegularExpression code(QStringLiteral("<numFmt numFmtId=\"%1\" formatCode=\"([^\"]*)\"").arg(id));
    const auto m = code.match(styles);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("builtin ") + id;
}

// A spreadsheet's row whose first cell holds the text, as its cells' values from column A on.
QStringList rowStartingWith(const QHash<QString, Cell>& cells, const QString& text) {
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        if (!it.key().startsWith(u'A') || it.value().value != text) continue;
        const QString row = it.key().mid(1);
        QStringList values;
        for (char column = 'A'; column <= 'E'; ++column) values.append(cells.value(QChar(column) + row).value);
        return values;
    }
    return {};
}

class OfficeExport : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_REQUIRE_POSTGRES();
        f.start();
        c = std::make_unique<test::OfficeClient>(f.loggedIn(QStringLiteral("boris")));
    }
    OfficeFixture f;
    std::unique_ptr<test::OfficeClient> c;
    test::TempDir dir;
};

TEST_F(OfficeExport, TheCsvHoldsTheFilteredRowsCellByCell) {
    const test::HttpReply r = c->get(QStringLiteral("/book.csv?scale=north&month=2026-12&sort=n"));
    ASSERT_EQ(r.status, 200);
    EXPECT_THAT(r.header(QStringLiteral("content-type")).toStdString(), HasSubstr("text/csv"));
    EXPECT_THAT(r.header(QStringLiteral("content-disposition")).toStdString(), HasSubstr("book-north-2026-12.csv"));
    ASSERT_TRUE(r.body.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(r.body.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Весы;№;Вагон;Принят;Отпущен;Брутто, кг;Тара, кг;Нетто, кг;Груз;Станция;Клиент;Направление;Документ;Примечание"));
    EXPECT_EQ(lines[1], QStringLiteral("north;1;52345678;2026-12-10 08:00:00;2026-12-10 08:30:00;80000;25000;55000;Уголь;Северная;ООО Ромашка;Ввоз;Д-1;первый"));
    EXPECT_EQ(lines[3], QStringLiteral("north;3;00001234;2026-12-10 10:00:00;;70000;;;Щебень;Северная;ООО Ромашка;Ввоз;;"));
    // A note with the separator and a quote is quoted as spreadsheets read it.
    EXPECT_EQ(lines[4], QStringLiteral("north;4;52345678;2026-12-05 07:00:00;2026-12-05 07:20:00;81000;25000;56000;Щебень;Южная;ООО Ромашка;Транзит;Д-3;\"a;b\"\"c\""));
    // A text that a spreadsheet would run as a formula stays a text.
    f.sql(QStringLiteral("UPDATE central.book SET note = '=HYPERLINK(1)' WHERE scale = 'north' AND n = 5"));
    const QString again = QString::fromUtf8(c->get(QStringLiteral("/book.csv?scale=north&month=2026-12&sort=n")).body);
    EXPECT_THAT(again.toStdString(), HasSubstr(";'=HYPERLINK(1)\r\n"));
    // The same filters as the page.
    const test::HttpReply some = c->get(QStringLiteral("/book.csv?month=2026-12&dir=1"));
    EXPECT_EQ(QString::fromUtf8(some.body).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size(), 3);
}

TEST_F(OfficeExport, TheSpreadsheetHasNumbersDatesTextsAFrozenHeadingAFilterAndTotals) {
    const test::HttpReply r = c->get(QStringLiteral("/book.xlsx?scale=north&month=2026-12&sort=n"));
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(r.header(QStringLiteral("content-type")), QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"));
    const QString path = QString::fromStdString((dir / "book.xlsx").string());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(r.body);
    file.close();
    const QString sheet = zipMember(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    ASSERT_FALSE(sheet.isEmpty());
    const QStringList shared = sharedStrings(zipMember(path, QStringLiteral("xl/sharedStrings.xml")));
    const QHash<QString, Cell> got = cells(sheet, shared);
    const QString styles = zipMember(path, QStringLiteral("xl/styles.xml"));
    const QString dateFormat = QStringLiteral("dd.mm.yyyy hh:mm:ss");

    // On top: the filter, the number of rows and the time of the export as a date.
    EXPECT_THAT(got.value(QStringLiteral("A1")).value.toStdString(), HasSubstr("весы: north; месяц: 12.2026"));
    EXPECT_EQ(got.value(QStringLiteral("A2")).value, QStringLiteral("Записей"));
    EXPECT_EQ(got.value(QStringLiteral("B2")).type, QString());
    EXPECT_EQ(got.value(QStringLiteral("B2")).value, QStringLiteral("5"));
    EXPECT_EQ(got.value(QStringLiteral("C2")).value, QStringLiteral("Выгружено"));
    const Cell stamp = got.value(QStringLiteral("D2"));
    EXPECT_EQ(stamp.type, QString());
    EXPECT_EQ(stamp.value, QStringLiteral("46366.5"));  // 10.12.2026 12:00, the service's "now"
    EXPECT_EQ(numberFormat(styles, stamp.style), dateFormat);
    EXPECT_EQ(got.value(QStringLiteral("C4")).value, QStringLiteral("Вагон"));
    // Row 5 is the first weighing.
    EXPECT_EQ(got.value(QStringLiteral("A5")).value, QStringLiteral("north"));
    EXPECT_EQ(got.value(QStringLiteral("B5")).type, QString());
    EXPECT_EQ(got.value(QStringLiteral("B5")).value, QStringLiteral("1"));
    const Cell wagon = got.value(QStringLiteral("C7"));
    EXPECT_NE(wagon.type, QString());  // a text: the leading zeros stay
    EXPECT_EQ(wagon.value, QStringLiteral("00001234"));
    const Cell accepted = got.value(QStringLiteral("D5"));
    EXPECT_EQ(accepted.type, QString());
    EXPECT_EQ(accepted.value.left(11), QStringLiteral("46366.33333"));  // 10.12.2026 08:00 as a spreadsheet's day number
    EXPECT_EQ(numberFormat(styles, accepted.style), dateFormat);
    EXPECT_EQ(got.value(QStringLiteral("F5")).value, QStringLiteral("80000"));
    EXPECT_EQ(numberFormat(styles, got.value(QStringLiteral("F5")).style), QStringLiteral("#,##0"));
    EXPECT_EQ(got.value(QStringLiteral("H5")).value, QStringLiteral("55000"));
    EXPECT_FALSE(got.contains(QStringLiteral("G7")));  // no tare: an empty cell, not a zero
    EXPECT_EQ(got.value(QStringLiteral("L5")).value, QStringLiteral("Ввоз"));
    EXPECT_NE(got.value(QStringLiteral("M5")).type, QString());
    // Under the five rows: the totals, as formulas with their values.
    EXPECT_EQ(got.value(QStringLiteral("A10")).value, QStringLiteral("Итого"));
    EXPECT_EQ(got.value(QStringLiteral("F10")).formula, QStringLiteral("SUBTOTAL(9,F5:F9)"));
    EXPECT_EQ(got.value(QStringLiteral("F10")).value, f.sql(QStringLiteral("SELECT sum(gross) FROM central.office_book WHERE scale = 'north' AND month = '2026-12-01'")));
    EXPECT_EQ(got.value(QStringLiteral("H10")).value, f.sql(QStringLiteral("SELECT sum(net) FROM central.office_book WHERE scale = 'north' AND month = '2026-12-01'")));
    EXPECT_THAT(sheet.toStdString(), HasSubstr("<pane ySplit=\"4\" topLeftCell=\"A5\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
    EXPECT_THAT(sheet.toStdString(), HasSubstr("<autoFilter ref=\"A4:N9\"/>"));

    // The second sheet: totals by client, load and station, as the server sums them.
    const QHash<QString, Cell> totals = cells(zipMember(path, QStringLiteral("xl/worksheets/sheet2.xml")), shared);
    const auto sums = [&](const char* column, const QString& name) {
        return f.sql(QStringLiteral("SELECT count(*) || ',' || sum(gross) || ',' || coalesce(sum(tare), 0) || ',' || coalesce(sum(net), 0) "
                                    "FROM central.office_book WHERE scale = 'north' AND month = '2026-12-01' AND %1 = $1")
                         .arg(QLatin1String(column)),
                     {name});
    };
    for (const auto& [column, name] : {std::pair{"client", QStringLiteral("ООО Ромашка")}, std::pair{"load", QStringLiteral("Щебень")},
                                       std::pair{"station", QStringLiteral("Южная")}}) {
        const QStringList row = rowStartingWith(totals, name);
        ASSERT_EQ(row.size(), 5) << column;
        EXPECT_EQ(row.mid(1).join(u','), sums(column, name)) << column;
    }
    EXPECT_EQ(rowStartingWith(totals, QStringLiteral("Клиент")).join(u','), QStringLiteral("Клиент,Вагонов,Брутто, кг,Тара, кг,Нетто, кг"));
}

// An export never stands for another choice than the one asked for, nor arrives cut short.
TEST(OfficeExportRefusal, AnUnreadFilterOrTooManyRowsGetTheReasonInsteadOfAFile) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    office::OfficeOptions options;
    options.exportRows = 4;
    f.start(options);
    test::OfficeClient c = f.loggedIn(QStringLiteral("boris"));
    const struct {
        const char* target;
        int status;
        const char* says;
    } cases[] = {
        {"/book.xlsx?scale=north&month=2026-12", 400, "Выбрано 5 записей, а выгрузка берет не больше 4"},
        {"/book.csv?scale=north&month=2026-12", 400, "Выбрано 5 записей, а выгрузка берет не больше 4"},
        {"/book.xlsx?scale=north&month=2026-13&dir=1", 400, "Месяц «2026-13» не понят"},
        {"/book.csv?scale=north&month=2026-12&from=2026-12-32", 400, "Дата «2026-12-32» не понята"},
        {"/book.csv?scale=north&month=2026-12&dir=7", 400, "Направление «7» не понято"},
        {"/book.xlsx?scale=north&month=2026-12&dir=1", 200, "PK"},
        {"/book.csv?scale=north&month=2026-12&dir=1", 200, "52345679"},
    };
    for (const auto& k : cases) {
        const test::HttpReply r = c.get(QString::fromUtf8(k.target));
        EXPECT_EQ(r.status, k.status) << k.target;
        EXPECT_THAT(r.body.toStdString(), HasSubstr(k.says)) << k.target;
        if (k.status != 200) {
            EXPECT_EQ(r.header(QStringLiteral("content-disposition")), QString()) << k.target;
            EXPECT_THAT(r.body.toStdString(), HasSubstr("<a href=\"/book?scale=north&amp;month=2026-12")) << k.target;
        }
    }
}

}  // namespace
}  // namespace zv
