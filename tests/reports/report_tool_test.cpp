#include "reports/report_tool.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QRegularExpression>

#include "records/records_fixture.h"
#include "reports/plain_text_export.h"
#include "reports/report_commands.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
#include "reports/table_dataset.h"

namespace zv {
namespace {

// Real tables in a folder, filled the way the program fills them.
class ReportsOverTables : public ::testing::Test {
  protected:
    void SetUp() override {
        records.Names().insertValues({{"N", 1}, {"Name", QStringLiteral("Иванов И.И.")}});
        records.Loads().insertValues({{"N", 2}, {"Load", QStringLiteral("Уголь")}});
        addRelease("52100001", 2, 80000, 24000, 1);
        addRelease("52100002", 0, 81000, QVariant(), 0);
        const QDateTime t(QDate(2026, 12, 9), QTime(9, 0));
        addWagon(5, t, 1, 3, 90000);
        addWagon(5, t.addSecs(20), 1, 1, 60000);
        addWagon(5, t.addSecs(40), 1, 0, 61000);
        records.Trains().insertValues({{"Train", 6}, {"Time", t.addSecs(60)}});  // static marker
        request.folder = fixture.dbDir();
        request.settings.User = "ООО Весы";
        request.txtPath = QDir(fixture.programDir).filePath("out.txt");
    }

    void addRelease(const char* wagon, int name2, int brut, const QVariant& tare, int dir) {
        records.Book().insertValues({{"Wagon", QString::fromLatin1(wagon)},
                                     {"Time1", QDateTime(QDate(2026, 12, 3), QTime(9, 0))},
                                     {"Time2", QDateTime(QDate(2026, 12, 3), QTime(11, 0))},
                                     {"Brut", brut},
                                     {"Tare", tare},
                                     {"TareD", 23900},
                                     {"Load", 2},
                                     {"Dir", dir},
                                     {"Name1", 1},
                                     {"Name2", name2}});
    }

    void addWagon(int train, const QDateTime& time, int direc, int note, int weight) {
        records.Trains().insertValues({{"Train", train},
                                       {"Time", time},
                                       {"Weight", weight},
                                       {"Direc", direc},
                                       {"Note", note},
                                       {"Axle", 4}});
    }

    QString runToText() {
        runReport(request);
        QFile f(request.txtPath);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    test::RecordsFixture fixture;
    RecordsDatabase& records = fixture.open();
    ReportRequest request;
};

TEST_F(ReportsOverTables, WaybillOfARowPrintsItsDisplayTexts) {
    request.kind = ReportRequest::Kind::Waybill;
    request.row = 2;
    const QString text = runToText();
    for (const char* s : {"52100002", "Уголь", "Ввоз", "23900 \\(введена вручную\\)",
                          "Отгрузил: +________________ ", "Предприятие: +ООО Весы", "57100"})
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(s)))) << s << "\n"
                                                                             << text.toStdString();

    request.row = 1;
    const QString first = runToText();
    EXPECT_TRUE(first.contains("24000")) << first.toStdString();
    EXPECT_TRUE(first.contains("Вывоз"));

    request.row = 9;
    EXPECT_THROW(runReport(request), ReportError);
}

TEST_F(ReportsOverTables, BookReportTakesAFilterAndRefusesABadOne) {
    request.kind = ReportRequest::Kind::Book;
    request.filter = "Dir=1";
    request.pdfPath = QDir(fixture.programDir).filePath("book.pdf");
    const QString text = runToText();
    EXPECT_TRUE(text.contains("52100001"));
    EXPECT_FALSE(text.contains("52100002"));
    EXPECT_TRUE(text.contains("Иванов И.И."));
    EXPECT_TRUE(QFile::exists(request.pdfPath));

    request.filter = "Nope=1";
    try {
        runReport(request);
        FAIL() << "ran";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().startsWith("Bad filter \"Nope=1\"")) << e.what();
    }
}

TEST_F(ReportsOverTables, TrainsReportLeavesOutStaticWeighing) {
    request.kind = ReportRequest::Kind::Trains;
    const QString text = runToText();
    EXPECT_TRUE(
        text.contains(QRegularExpression("Состав 5 +Выезд +09.12.2026 +Вагонов +2 +Вес +121000")))
        << text.toStdString();
    EXPECT_FALSE(text.contains("Состав 6"));
}

// The speed, stored in tenths, prints in km/h: 7,7, never 77.
TEST_F(ReportsOverTables, TrainsReportPrintsTheSpeedInKilometresPerHour) {
    records.Trains().insertValues({{"Train", 7}, {"Time", QDateTime(QDate(2026, 12, 9), QTime(11, 0))},
                                   {"Weight", 60000}, {"Direc", 0}, {"Note", 1}, {"Axle", 4}, {"Speed", 77}});
    request.kind = ReportRequest::Kind::Trains;
    const QString text = runToText();
    EXPECT_TRUE(text.contains(QRegularExpression("11:00:00 +7,7 +4\n"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QRegularExpression(" 77 "))) << text.toStdString();
}

// The book as a spreadsheet reads it: Python's csv module with the byte-order mark and ";".
TEST_F(ReportsOverTables, BookAsCsvReadsBackAsTheReportShowsIt) {
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed: the CSV is not read back";
    records.Book().last();
    records.Book().edit();
    records.Book().setValue("Doc", QStringLiteral("A;1\"2"));  // a separator and a quote
    records.Book().post();
    request.kind = ReportRequest::Kind::Book;
    request.csvPath = QDir(fixture.programDir).filePath("book.csv");
    runReport(request);

    QProcess reader;
    reader.start(python, {"-c", R"(
import csv, json, sys
raw = open(sys.argv[1], 'rb').read()
with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:
    rows = list(csv.reader(f, delimiter=';'))
print(json.dumps({'bom': raw.startswith(b'\xef\xbb\xbf'), 'rows': rows}))
)", request.csvPath});
    ASSERT_TRUE(reader.waitForFinished(30000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    EXPECT_TRUE(read["bom"].toBool());
    const QJsonArray rows = read["rows"].toArray();

    // Every heading, in order, is one the report prints over its column.
    const ReportLayouts layouts;
    const ReportLayout& layout = layouts.bookReport();
    ASSERT_EQ(rows.size(), 5);  // headings, two rows, an empty row, the totals
    const QJsonArray headings = rows[0].toArray();
    ASSERT_EQ(headings.size(), static_cast<qsizetype>(layout.columns.size()));
    TableDataset book = TableDataset::filteredRows(records.Book());
    const QString printed = toPlainText(renderReport(layout, &book));
    for (qsizetype c = 0; c < headings.size(); ++c) {
        const QString heading = headings[c].toString();
        EXPECT_EQ(heading, layout.columns[c].heading);
        EXPECT_TRUE(printed.contains(heading.section(QRegularExpression(" \\(|: "), 0, 0)))
            << heading.toStdString();
    }

    // Every value as the report prints it, dates in full, numbers without separators.
    book.first();
    for (qsizetype r = 1; r < 3; ++r, book.next()) {
        const QJsonArray values = rows[r].toArray();
        ASSERT_EQ(values.size(), headings.size());
        for (qsizetype c = 0; c < values.size(); ++c) {
            const QString field = layout.columns[c].field;
            const QVariant v = book.value(field);
            const QString expected = v.typeId() == QMetaType::QDateTime
                                         ? v.toDateTime().toString("dd.MM.yyyy HH:mm:ss")
                                         : book.displayText(field);
            EXPECT_EQ(values[c].toString(), expected) << field.toStdString() << " of row " << r;
        }
    }
    const auto cell = [&](int row, const char* heading) {
        return rows[row].toArray()[headings.toVariantList().indexOf(QString::fromUtf8(heading))]
            .toString();
    };
    EXPECT_EQ(cell(1, "Вагон"), "52100001");
    EXPECT_EQ(cell(1, "Брутто, кг"), "80000");
    EXPECT_EQ(cell(1, "Нетто, кг"), "56000");
    EXPECT_EQ(cell(1, "Наименование груза"), QStringLiteral("Уголь"));
    EXPECT_EQ(cell(1, "Направление"), QStringLiteral("Вывоз"));
    EXPECT_EQ(cell(1, "Впустил"), QStringLiteral("Иванов И.И."));
    EXPECT_EQ(cell(1, "Дата, время (выпустил)"), "03.12.2026 11:00:00");
    EXPECT_EQ(cell(2, "№ докум."), QStringLiteral("A;1\"2"));
    // The tare typed from the document, as the report prints it.
    EXPECT_EQ(cell(2, "Тара, кг"), "23900");
    EXPECT_EQ(cell(2, "Тара, кг: метод"), QStringLiteral("Вручную"));
    EXPECT_TRUE(rows[3].toArray().isEmpty());
    EXPECT_EQ(cell(4, "Вагон"), QStringLiteral("Итого, вагонов: 2"));
    EXPECT_EQ(cell(4, "Брутто, кг"), "161000");
    EXPECT_EQ(cell(4, "Тара, кг"), "47900");
    EXPECT_EQ(cell(4, "Тара, кг (по документам)"), "47800");
    EXPECT_EQ(cell(4, "Нетто, кг"), "113100");
    EXPECT_EQ(cell(4, "Наименование груза"), "");
}

TEST_F(ReportsOverTables, MissingTableIsNamed) {
    request.kind = ReportRequest::Kind::Book;
    request.bookFile = "Book[01.2020].db";
    try {
        runReport(request);
        FAIL() << "ran";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains("Book[01.2020].db")) << e.what();
    }
    request.folder = QDir(fixture.programDir).filePath("nowhere");
    EXPECT_THROW(runReport(request), ReportError);
}

TEST_F(ReportsOverTables, WindowsPreviewTheirTables) {
    std::vector<ReportDocument> shown;
    setReportViewer([&](ReportDocument doc, QWidget*) { shown.push_back(std::move(doc)); });
    ReportLayouts layouts;

    records.Book().findKey(2);
    EXPECT_TRUE(previewWaybill(records.Book(), layouts, nullptr));
    records.Trains().setFilter("Direc <> NULL");
    previewTrainsReport(records.Trains(), layouts, nullptr);
    records.Book().setFilter("Dir=2");
    records.Book().setFiltered(true);
    EXPECT_FALSE(previewWaybill(records.Book(), layouts, nullptr));  // no current row
    previewBookReport(records.Book(), layouts, nullptr);
    setReportViewer({});

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(test::textsOf(shown[0], "QRExpr1"), QStringList{QStringLiteral("23900 (введена вручную)")});
    EXPECT_EQ(test::textsOf(shown[1], "QRExpr1"), QStringList{"2"});
    EXPECT_EQ(shown[2].pageCount(), 1);  // headings only
    EXPECT_TRUE(test::textsOf(shown[2], "QRDBText1").isEmpty());
}

}  // namespace
}  // namespace zv
