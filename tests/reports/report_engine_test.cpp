#include "reports/report_engine.h"

#include <gtest/gtest.h>

#include "reports/memory_dataset.h"
#include "reports/report_error.h"
#include "reports/report_fixtures.h"

namespace zv {
namespace {

using test::textsOf;

ReportLayout smallLayout() {
    ReportLayout layout;
    layout.name = QStringLiteral("T");
    layout.title = QStringLiteral("Проба");
    layout.margins = QMarginsF(10, 10, 10, 10);
    return layout;
}

MemoryDataset wagons(std::initializer_list<std::pair<int, const char*>> rows) {
    MemoryDataset data(QStringLiteral("Trains"), {"Train", "Wagon", "Weight"});
    for (const auto& [train, wagon] : rows)
        data.addRow({{"Train", train}, {"Wagon", QString::fromUtf8(wagon)}, {"Weight", 1000}});
    return data;
}

TEST(ReportEngine, GroupFooterShowsTheLastRowOfItsGroup) {
    ReportLayout layout = smallLayout();
    layout.groupExpression = Expression::parse(QStringLiteral("Trains.Train"));
    layout.addBand(BandKind::Detail, 5).addField("D", QRectF(0, 0, 30, 5), "Wagon");
    ReportBand& footer = layout.addBand(BandKind::GroupFooter, 5);
    footer.addField("F", QRectF(0, 0, 30, 5), "Wagon");
    footer.addExpression("S", QRectF(40, 0, 30, 5), "SUM(Trains.Weight)");
    MemoryDataset data = wagons({{1, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {3, "e"}, {3, "f"}});

    const ReportDocument doc = renderReport(layout, &data);
    EXPECT_EQ(textsOf(doc, "F"), QStringList({"b", "c", "f"}));
    EXPECT_EQ(textsOf(doc, "S"), QStringList({"2000", "1000", "3000"}));
    // A second pass over the same layout starts its sums afresh.
    EXPECT_EQ(textsOf(renderReport(layout, &data), "S"), QStringList({"2000", "1000", "3000"}));
}

// The summary adds over every group while the group footers start afresh, and comes after
// the last group's footer; the spreadsheet gets its totals after an empty row.
TEST(ReportEngine, SummaryAndTotalsRowRunOverTheWholeReport) {
    ReportLayout layout = smallLayout();
    layout.groupExpression = Expression::parse(QStringLiteral("Trains.Train"));
    layout.addBand(BandKind::Detail, 5).addField("D", QRectF(0, 0, 30, 5), "Wagon");
    layout.addBand(BandKind::GroupFooter, 5)
        .addExpression("F", QRectF(0, 0, 30, 5), "SUM(Trains.Weight)");
    ReportBand& summary = layout.addBand(BandKind::Summary, 5);
    summary.addExpression("S", QRectF(0, 0, 30, 5), "SUM(Trains.Weight)");
    summary.addExpression("G", QRectF(40, 0, 30, 5), "GROUPCOUNT");
    layout.addColumns({{"Вагон", "Wagon"}, {"Масса", "Weight"}});
    layout.setColumnTotals({{"Wagon", QStringLiteral("'Итого: '+SUM(1)")},
                            {"Weight", QStringLiteral("SUM(Trains.Weight)")}});
    EXPECT_THROW(layout.setColumnTotals({{"Brut", QStringLiteral("1")}}), ReportError);
    MemoryDataset data = wagons({{1, "a"}, {1, "b"}, {2, "c"}, {3, "d"}});

    for (int pass = 0; pass < 2; ++pass) {  // a second pass starts afresh
        const ReportDocument doc = renderReport(layout, &data);
        EXPECT_EQ(textsOf(doc, "F"), QStringList({"2000", "1000", "1000"}));
        EXPECT_EQ(textsOf(doc, "S"), QStringList{"4000"});
        EXPECT_EQ(textsOf(doc, "G"), QStringList{"3"});
        const auto& items = doc.pages.back().items;
        EXPECT_EQ(items.back().element, QStringLiteral("G"));  // after the last footer
        ASSERT_EQ(doc.table.rows.size(), 6u);
        EXPECT_EQ(doc.table.rows[4], QStringList());
        EXPECT_EQ(doc.table.rows[5], QStringList({"Итого: 4", "4000"}));
    }
    MemoryDataset none = wagons({});
    layout.printIfEmpty = true;
    EXPECT_TRUE(textsOf(renderReport(layout, &none), "S").isEmpty());  // headings only
}

// A summary that does not fit under the last row goes to a page of its own.
TEST(ReportEngine, SummaryMovesToANewPageWhenThePageIsFull) {
    ReportLayout layout = smallLayout();  // the body runs from 10 to 287 mm
    layout.addBand(BandKind::PageHeader, 5).addSystemData("P", QRectF(0, 0, 30, 5), SystemData::PageNumber);
    layout.addBand(BandKind::Detail, 10).addField("D", QRectF(0, 0, 30, 5), "Wagon");
    layout.addBand(BandKind::Summary, 10).addExpression("S", QRectF(0, 0, 30, 5), "SUM(1)");
    MemoryDataset data = wagons({});
    for (int n = 0; n < 27; ++n) data.addRow({{"Train", 1}, {"Wagon", "a"}, {"Weight", 1}});  // to 285 mm
    const ReportDocument doc = renderReport(layout, &data);
    ASSERT_EQ(doc.pageCount(), 2);
    EXPECT_EQ(textsOf(doc.pages[1], "S"), QStringList{"27"});
    EXPECT_EQ(textsOf(doc.pages[1], "P"), QStringList{"2"});
}

TEST(ReportEngine, GroupHeaderIsNotLeftAloneAtThePageEnd) {
    ReportLayout layout = smallLayout();  // A4 portrait: the body runs from 10 to 287 mm
    layout.groupExpression = Expression::parse(QStringLiteral("Trains.Train"));
    layout.addBand(BandKind::GroupHeader, 10).addField("H", QRectF(0, 0, 30, 5), "Train");
    layout.addBand(BandKind::Detail, 10).addField("D", QRectF(0, 0, 30, 5), "Wagon");
    MemoryDataset data(QStringLiteral("Trains"), {"Train", "Wagon"});
    for (int n = 0; n < 25; ++n) data.addRow({{"Train", 1}, {"Wagon", "a"}});  // ends at 270 mm
    data.addRow({{"Train", 2}, {"Wagon", "b"}});

    const ReportDocument doc = renderReport(layout, &data);
    ASSERT_EQ(doc.pageCount(), 2);
    EXPECT_EQ(textsOf(doc.pages[1], "H"), QStringList{"2"});
    EXPECT_EQ(textsOf(doc.pages[1], "D"), QStringList{"b"});
}

TEST(ReportEngine, BandHigherThanAPageStillEnds) {
    ReportLayout layout = smallLayout();
    layout.addBand(BandKind::Detail, 400).addField("D", QRectF(0, 0, 30, 5), "Wagon");
    MemoryDataset data = wagons({{1, "a"}, {1, "b"}, {1, "c"}});
    EXPECT_EQ(renderReport(layout, &data).pageCount(), 3);
}

TEST(ReportEngine, EmptyDataSetPrintsOnlyWhenAsked) {
    ReportLayout layout = smallLayout();
    layout.addBand(BandKind::Title, 10)
        .addSystemData("T", QRectF(0, 0, 50, 5), SystemData::ReportTitle);
    MemoryDataset data = wagons({});
    EXPECT_EQ(renderReport(layout, &data).pageCount(), 0);
    layout.printIfEmpty = true;
    EXPECT_EQ(textsOf(renderReport(layout, &data), "T"), QStringList{"Проба"});
}

TEST(ReportEngine, RefusesFieldsTheDataSetDoesNotHave) {
    ReportLayout layout = smallLayout();
    layout.addBand(BandKind::Detail, 5).addField("QRDBText9", QRectF(0, 0, 30, 5), "Brut");
    MemoryDataset data = wagons({{1, "a"}});
    try {
        renderReport(layout, &data);
        FAIL() << "rendered";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains("QRDBText9")) << e.what();
        EXPECT_TRUE(e.message().contains("Brut")) << e.what();
    }
    ReportLayout sums = smallLayout();
    sums.addBand(BandKind::Detail, 5).addExpression("E", QRectF(0, 0, 30, 5), "Book.Brut");
    EXPECT_THROW(renderReport(sums, &data), ReportError);
    EXPECT_THROW(renderReport(sums, nullptr), ReportError);
}

TEST(ReportEngine, LabelsChangeAtRunTime) {
    ReportLayout layout = smallLayout();
    layout.addBand(BandKind::Title, 10).addLabel("L", QRectF(0, 0, 50, 5), "до");
    layout.setLabelText("L", "после");
    EXPECT_EQ(layout.labelText("L"), "после");
    EXPECT_THROW(layout.setLabelText("Nope", "x"), ReportError);
}

}  // namespace
}  // namespace zv
