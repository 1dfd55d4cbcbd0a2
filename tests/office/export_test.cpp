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
    const QHash<QString, Cell> got = cells(sheet, sharedStrings(zipMember(path, QStringLiteral("xl/sharedStrings.xml"))));

    EXPECT_THAT(got.value(QStringLiteral("A1")).value.toStdString(), HasSubstr("весы: north; месяц: 12.2026"));
    EXPECT_EQ(got.value(QStringLiteral("A2")).value, QStringLiteral("Выгружено 10.12.2026 12:00:00"));
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
    EXPECT_FALSE(accepted.style.isEmpty());
    EXPECT_EQ(got.value(QStringLiteral("F5")).value, QStringLiteral("80000"));
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
}

}  // namespace
}  // namespace zv
