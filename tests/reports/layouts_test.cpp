#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QRegularExpression>

#include "reports/plain_text_export.h"
#include "reports/report_engine.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
#include "reports/report_period.h"
#include "reports/trains_report_layout.h"
#include "settings/settings.h"

namespace zv {
namespace {

using test::textsOf;

class Layouts : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.User = "ООО Весы";
        settings.ScName = "Весы 1";
        layouts.applySettings(settings);
    }

    // Every page of the trains report with `trains` trains of `wagons` wagons (note 1).
    ReportDocument trainsReport(int trains, int wagons) {
        auto data = test::makeTrains();
        for (int t = 1; t <= trains; ++t)
            for (int w = 0; w < wagons; ++w) data->addRow(test::trainsRow(t, 1, 60000, w));
        return renderReport(layouts.trainsReport(), data.get());
    }

    Settings settings;
    ReportLayouts layouts;
};

TEST_F(Layouts, BookReportOverAnEmptySelectionPrintsItsHeadingsOnOnePage) {
    layouts.setBookDescription(QStringLiteral("Фильтр:  Вывоз"));
    auto book = test::makeBook();
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());

    ASSERT_EQ(doc.pageCount(), 1);
    const QString text = toPlainText(doc);
    for (const char* heading : {"стр. 1",
                                "ООО Весы,   Весы 1",
                                "Отчет по весовой книге",
                                "Фильтр:  Вывоз",
                                "___",
                                "Вагон",
                                "Брутто, кг",
                                "Тара, кг",
                                "Нетто, кг",
                                "Мест",
                                "Наименование груза",
                                "Станция",
                                "Впустил",
                                "Дата, время",
                                "Состав",
                                "№ докум.",
                                "(вторая строка - масса по документам)",
                                "Направление",
                                "Получатель / отправитель",
                                "Выпустил",
                                "Тара, указанная на вагоне"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
    EXPECT_FALSE(text.contains(QStringLiteral("Распределение груза")));
    EXPECT_EQ(doc.pageSizeMm().toSize(), QSize(297, 210));
}

TEST_F(Layouts, BookReportBreaksPagesAndNumbersEveryPage) {
    auto book = test::makeBook();
    for (int n = 0; n < 120; ++n) book->addRow(test::bookRow(n));
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());

    ASSERT_GT(doc.pageCount(), 5);
    QStringList wagons;
    for (int p = 0; p < doc.pageCount(); ++p) {
        const ReportPage& page = doc.pages[p];
        EXPECT_EQ(textsOf(page, "QRSysData2"), QStringList{QStringLiteral("стр. %1").arg(p + 1)});
        EXPECT_EQ(textsOf(page, "QRLh1_1"), QStringList{QStringLiteral("Вагон")})
            << "page " << p + 1;
        EXPECT_EQ(textsOf(page, "QRSysData1").size(), p == 0 ? 1 : 0);
        for (const DrawItem& item : page.items) EXPECT_LE(item.rect.bottom(), 210 - 20 + 0.01);
        wagons << textsOf(page, "QRDBText1");
    }
    ASSERT_EQ(wagons.size(), 120);  // every row once, in order
    EXPECT_EQ(wagons.front(), QStringLiteral("52100000"));
    EXPECT_EQ(wagons.back(), QStringLiteral("52100119"));

    // The three lines of a row carry their fields in column order.
    const QString text = toPlainText(doc);
    for (
        const char* line :
        {R"(52100007 +80007 Динамика +24000 Статика +56007 +1 Уголь каменный +Станция 1 +Иванов И\.И\. +05\.03\.2026  09:10 +3\n)",
         R"(Д-7 +80500 +23900 +56600 +1 Ввоз +ООО Клиент 1 +Петров П\.П\. +05\.03\.2026  10:10 +4\n)",
         R"(\n +23800 +Распределение груза по тележкам, кг: +27803 , +28204\n)"})
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(line)))) << line;
}

// The last page ends with the sums of the weighed masses and of the masses by the documents,
// and the number of wagons; the period stands under the title and in the file's name.
TEST_F(Layouts, BookReportEndsWithItsTotalsAndPrintsItsPeriod) {
    auto book = test::makeBook();
    for (int n = 0; n < 120; ++n) book->addRow(test::bookRow(n));
    layouts.setBookPeriod({QDateTime(QDate(2026, 3, 5), QTime(8, 0)),
                           QDateTime(QDate(2026, 3, 31), QTime(23, 59)), QStringLiteral("03.2026")});
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());

    ASSERT_GT(doc.pageCount(), 5);
    for (int p = 0; p + 1 < doc.pageCount(); ++p)
        EXPECT_TRUE(test::textsOf(doc.pages[p], "QRLs1").isEmpty()) << "page " << p + 1;
    const QString last = toPlainText(doc).split(QLatin1Char('\f')).last();
    // 120 x 80000 + (0 + ... + 119) gross, 120 x 24000 tare; the documents' 80500, 23900, 56600.
    for (const char* line : {R"(\nИтого +9607140 +2880000 +6727140 +120\n)",
                             R"(\nвагонов: 120 +9660000 +2868000 +6792000 +120\n)"})
        EXPECT_TRUE(last.contains(QRegularExpression(QString::fromUtf8(line)))) << line << last.toStdString();
    EXPECT_EQ(textsOf(doc.pages[0], "QRLb4"),
              QStringList{QStringLiteral("Период: с 05.03.2026 08:00 по 31.03.2026 23:59")});
    EXPECT_EQ(doc.fileBaseName(), QStringLiteral("Отчет по весовой книге 05.03.2026-31.03.2026"));
    EXPECT_EQ(doc.table.rows.back().first(), QStringLiteral("Итого, вагонов: 120"));
}

TEST_F(Layouts, TrainsReportEndsWithTheTotalsOfEveryTrain) {
    auto data = test::makeTrains();
    for (int t = 1; t <= 3; ++t) {
        data->addRow(test::trainsRow(t, 3, 90000, 0));  // a locomotive, left out as by the trains
        for (int w = 1; w <= 20; ++w) data->addRow(test::trainsRow(t, 1, 60000 + t, w));
    }
    const ReportDocument doc =
        renderReport(trainsReportOver(layouts.trainsReport(), *data), data.get());
    ASSERT_GE(doc.pageCount(), 2);
    EXPECT_EQ(textsOf(doc, "QRExpr1"), QStringList({"20", "20", "20"}));
    EXPECT_EQ(textsOf(doc.pages.back(), "QRExpr4"), QStringList{"3"});
    EXPECT_EQ(textsOf(doc.pages.back(), "QRExpr5"), QStringList{"60"});
    EXPECT_EQ(textsOf(doc.pages.back(), "QRExpr6"), QStringList{"3600120"});
    EXPECT_TRUE(toPlainText(doc).contains(
        QRegularExpression(QStringLiteral("Итого +Составов +3 +Вагонов +60 +Вес +3600120"))));
    EXPECT_EQ(textsOf(doc.pages[0], "QRL2"),
              QStringList{QStringLiteral("Период: с 05.03.2026 09:00 по 05.03.2026 11:06")});
    EXPECT_EQ(textsOf(doc.pages[0], "QRL3"),
              QStringList{QStringLiteral("Фильтр: все составы, взвешенные в движении")});
    EXPECT_EQ(doc.fileBaseName(), QStringLiteral("Составы, взвешенные в движении 05.03.2026"));
    EXPECT_EQ(doc.table.rows.back(),
              QStringList({"Итого, составов: 3", "", "вагонов: 60", "3600120", "", "", "", "", "",
                           "", ""}));
}

TEST(ReportPeriodText, NamesTheBoundsOrTheMonth) {
    const QDateTime from(QDate(2026, 3, 5), QTime(8, 0));
    const QDateTime to(QDate(2026, 3, 5), QTime(17, 30));
    struct Case {
        ReportPeriod period;
        const char* text;
        const char* tag;
    };
    const Case cases[] = {
        {{from, to, "03.2026"}, "Период: с 05.03.2026 08:00 по 05.03.2026 17:30", "05.03.2026"},
        {{from, {}, "03.2026"}, "Период: с 05.03.2026 08:00", "с 05.03.2026"},
        {{{}, to, "03.2026"}, "Период: по 05.03.2026 17:30", "по 05.03.2026"},
        {{{}, {}, "03.2026"}, "Период: весь месяц 03.2026", "03.2026"},
        {{{}, {}, ""}, "Период: все записи", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.period.text(), QString::fromUtf8(c.text));
        EXPECT_EQ(c.period.fileTag(), QString::fromUtf8(c.tag));
    }
    EXPECT_EQ(bookMonth(QStringLiteral("Book[03.2026].db")), QStringLiteral("03.2026"));
    EXPECT_EQ(bookMonth(QStringLiteral("Book.db")), QString());
}

// A 24-character operator name is wider than its column: print, preview and PDF show it cut
// with an ellipsis inside the column, and the text export keeps the dates in theirs.
TEST_F(Layouts, BookReportKeepsEveryTextInsideItsColumn) {
    auto book = test::makeBook();
    QVariantMap longName = test::bookRow(0);
    const QString name = QStringLiteral("Щербаковский-Шмидта Ш.Щ.");
    ASSERT_EQ(name.size(), 24);
    longName["Name11"] = name;
    longName["Name21"] = name;
    book->addRow(longName);
    book->addRow(test::bookRow(1));
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());

    for (const DrawItem& item : doc.pages[0].items) {
        if (item.kind != DrawItem::Kind::Text) continue;
        EXPECT_LE(QFontMetricsF(item.font).horizontalAdvance(item.text),
                  item.rect.width() * kFontUnitsPerMm)
            << item.element.toStdString() << ": " << item.text.toStdString();
        if (!item.data) {
            EXPECT_FALSE(item.text.endsWith(QChar(0x2026))) << item.text.toStdString();
        }
    }
    const DrawItem& cut = *test::itemsOf(doc.pages[0], "QRDBText10").front();
    ASSERT_GT(QFontMetricsF(cut.font).horizontalAdvance(name), cut.rect.width() * kFontUnitsPerMm);
    const QString shown = cut.text;
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)) && name.startsWith(shown.chopped(1)))
        << shown.toStdString();

    const QStringList lines = toPlainText(doc).split(QLatin1Char('\n'));
    const auto lineWith = [&](const QString& text) {
        for (const QString& line : lines)
            if (line.contains(text)) return line;
        return QString();
    };
    const qsizetype dateColumn = lineWith(QStringLiteral("Дата, время")).indexOf("Дата, время");
    for (const char* wagon : {"52100000", "52100001"}) {
        const QString line = lineWith(QString::fromLatin1(wagon));
        EXPECT_EQ(line.indexOf(QStringLiteral("05.03.2026")), dateColumn) << line.toStdString();
    }
    EXPECT_TRUE(lineWith("52100000").contains(name.left(10)));
}

TEST_F(Layouts, TrainsReportOverAnEmptySelectionPrintsNothing) {
    auto trains = test::makeTrains();
    const ReportDocument doc = renderReport(layouts.trainsReport(), trains.get());
    EXPECT_EQ(doc.pageCount(), 0);
    EXPECT_TRUE(toPlainText(doc).isEmpty());
}

TEST_F(Layouts, TrainsReportSumsEachTrainWithoutLocomotivesAndProblems) {
    auto trains = test::makeTrains();
    trains->addRow(test::trainsRow(7, 3, 90000, 0));  // locomotive
    trains->addRow(test::trainsRow(7, 1, 60000, 1));
    trains->addRow(test::trainsRow(7, 0, 61000, 2));  // processed
    trains->addRow(test::trainsRow(7, 4, 58000, 3));  // problem
    trains->addRow(test::trainsRow(7, 1, 62000, 4));
    trains->addRow(test::trainsRow(8, 3, 91000, 0));
    trains->addRow(test::trainsRow(8, 1, 70000, 1));
    const ReportDocument doc = renderReport(layouts.trainsReport(), trains.get());

    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, "QRL1"), QStringList{QStringLiteral("ООО Весы,   Весы 1")});
    EXPECT_EQ(textsOf(doc, "QRLabel2").size(), 2);  // column headings per train
    EXPECT_EQ(textsOf(doc, "QRDBText10"), QStringList({"7", "8"}));
    EXPECT_EQ(textsOf(doc, "QRExpr1"), QStringList({"3", "1"}));
    EXPECT_EQ(textsOf(doc, "QRExpr2"), QStringList({"183000", "70000"}));
    EXPECT_EQ(textsOf(doc, "QRDBText4").front(), QStringLiteral("15:00:00"));  // hh:nn:ss
    EXPECT_EQ(textsOf(doc, "QRDBText12").front(), QStringLiteral("05.03.2026"));
    // No page header on the first page, no page footer on the last.
    EXPECT_TRUE(textsOf(doc, "QRSysData2").isEmpty());
    EXPECT_TRUE(textsOf(doc, "QRLabel13").isEmpty());
    EXPECT_TRUE(toPlainText(doc).contains(QRegularExpression(
        QStringLiteral("Состав 7 +Въезд +05.03.2026 +Вагонов +3 +Вес +183000"))));
}

TEST_F(Layouts, TrainsReportEndsEveryPageButTheLastWithTheNextPageNumber) {
    const ReportDocument doc = trainsReport(12, 15);
    ASSERT_GE(doc.pageCount(), 3);
    const QStringList pages = toPlainText(doc).split(QLatin1Char('\f'));
    ASSERT_EQ(pages.size(), doc.pageCount());
    for (int p = 0; p < doc.pageCount(); ++p) {
        SCOPED_TRACE(p + 1);
        const ReportPage& page = doc.pages[p];
        const bool last = p + 1 == doc.pageCount();
        EXPECT_EQ(textsOf(page, "QRExpr3"),
                  last ? QStringList() : QStringList{QString::number(p + 2)});
        EXPECT_EQ(textsOf(page, "QRSysData2"),
                  p == 0 ? QStringList() : QStringList{QStringLiteral("Стр. %1").arg(p + 1)});
        const QString lastLine = pages[p].trimmed().split(QLatin1Char('\n')).last();
        if (!last) {
            EXPECT_TRUE(lastLine.contains(
                QRegularExpression(QStringLiteral("Продолжение на стр\\. +%1$").arg(p + 2))))
                << lastLine.toStdString();
        }
    }
}

TEST_F(Layouts, TrainsReportSumsATrainThatSpansPages) {
    const ReportDocument doc = trainsReport(1, 130);
    ASSERT_GE(doc.pageCount(), 2);
    EXPECT_EQ(textsOf(doc, "QRExpr1"), QStringList{QStringLiteral("130")});
    EXPECT_EQ(textsOf(doc, "QRExpr2"), QStringList{QStringLiteral("7800000")});
    EXPECT_EQ(textsOf(doc, "QRDBText1").size(), 130);
}

TEST_F(Layouts, WaybillShowsBlanksForMissingOperatorAndTare) {
    auto book = test::makeBook();
    book->addRow(test::bookRow(0));
    QVariantMap blank = test::bookRow(1);
    blank["Name2"] = 0;
    blank["Name21"] = QVariant();
    blank["Tare"] = 0;
    book->addRow(blank);

    book->setCurrentRow(1);
    ReportDocument doc = renderReport(layouts.waybill(), book.get());
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, "QRExpr2"), QStringList{QStringLiteral("________________ ")});
    EXPECT_EQ(textsOf(doc, "QRExpr1"), QStringList{QStringLiteral("23900 (введена вручную)")});
    EXPECT_EQ(textsOf(doc, "QRLn1"), QStringList{QStringLiteral("ООО Весы")});
    EXPECT_EQ(textsOf(doc, "QRDBTextL1"), QStringList{QStringLiteral("52100001")});
    EXPECT_EQ(doc.pageSizeMm().toSize(), QSize(297, 210));

    book->setCurrentRow(0);
    doc = renderReport(layouts.waybill(), book.get());
    EXPECT_EQ(textsOf(doc, "QRExpr2"), QStringList{QStringLiteral("Петров П.П.")});
    EXPECT_EQ(textsOf(doc, "QRExpr1"), QStringList{QStringLiteral("24000")});
    const QString text = toPlainText(doc);
    for (const char* s : {"НАКЛАДНАЯ  № __________", "Предприятие:", "Неправление:", "Тележка 2",
                          "Получил:   ________________ / __________", "Ф.И.О."})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
}

}  // namespace
}  // namespace zv
