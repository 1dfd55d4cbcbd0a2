#include <gtest/gtest.h>

#include "reports/report_engine.h"
#include "reports/report_layouts.h"
#include "reports/table_dataset.h"
#include "support/operator_input.h"
#include "w_pro_fixture.h"

// A wagon released without a tare weighing, with the tare written on it typed in the
// processing window: the book row, the book report and the waybill say the same tare.
namespace zv::test {
namespace {

QStringList textsOf(const ReportDocument& doc, const QString& element) {
    QStringList texts;
    for (const ReportPage& page : doc.pages)
        for (const DrawItem& item : page.items)
            if (item.element == element) texts << item.text;
    return texts;
}

class TypedTare : public ::testing::Test, public WProFixture {};

TEST_F(TypedTare, WaybillAndBookReportPrintTheTareTheNetWasWorkedOutWith) {
    wagons().insertValues({{"Wagon", "51234567"}, {"Weight", 60000}, {"WNote", 1}, {"Load", 5},
                           {"Station", 1}, {"Client", 1}, {"Doc", "ABC"}});
    wagons().findKey("51234567");
    ModalScript script;
    script.then([&](QDialog& d) {
        typeInto(control(&d, "DBE2"), "24000");  // "Тара (на вагоне), кг"
        messages.answerYes();  // release without weighing the tare, using the typed one
        click(control(&d, "But1"));
        EXPECT_FALSE(d.isVisible());
    });
    acceptance.But2Click(true, false);
    ASSERT_EQ(script.shown(), QStringList{"WPro"});

    book().last();
    EXPECT_TRUE(book().isNull("Tare"));
    EXPECT_TRUE(book().isNull("TNote"));  // nothing was weighed
    EXPECT_EQ(book().toInt("TareW"), 24000);
    EXPECT_EQ(book().toInt("Nett"), 36000);

    ReportLayouts layouts;
    TableDataset row = TableDataset::currentRow(book());
    const ReportDocument waybill = renderReport(layouts.waybill(), &row);
    EXPECT_EQ(textsOf(waybill, "QRExpr1"), QStringList{QStringLiteral("24000 (введена вручную)")});
    EXPECT_EQ(textsOf(waybill, "QRDBTextM6"), QStringList{"36000"});

    TableDataset rows = TableDataset::filteredRows(book());
    const ReportDocument report = renderReport(layouts.bookReport(), &rows);
    EXPECT_EQ(textsOf(report, "QRDBText4"), QStringList{"24000"});  // the tare column
    EXPECT_EQ(textsOf(report, "QRDBText5"), QStringList{QStringLiteral("Вручную")});
    EXPECT_EQ(textsOf(report, "QRDBText6"), QStringList{"36000"});
    EXPECT_EQ(textsOf(report, "QRExprS3"), QStringList{"24000"});  // the tare's total
}

}  // namespace
}  // namespace zv::test
