// A picture of the book report's last page, for a person to look at, not part of the suite:
//   ZOLVELT_SHOTS=/some/folder reports_tests --gtest_also_run_disabled_tests --gtest_filter='*Shot*'
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "reports/report_engine.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
#include "reports/report_period.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

// The PDF as the preview saves it, its last page drawn by poppler.
TEST(Shots, DISABLED_BookReportLastPageWithItsTotals) {
    Settings settings;
    settings.User = "ООО Весы";
    settings.ScName = "Весы 1";
    ReportLayouts layouts;
    layouts.applySettings(settings);
    layouts.setBookDescription(QStringLiteral("Фильтр:  Ввоз"));
    layouts.setBookPeriod({QDateTime(QDate(2026, 3, 5), QTime(8, 0)),
                           QDateTime(QDate(2026, 3, 31), QTime(23, 59)), QStringLiteral("03.2026")});
    auto book = test::makeBook();
    for (int n = 0; n < 44; ++n) book->addRow(test::bookRow(n));
    QVariantMap typed = test::bookRow(44);  // released without a tare weighing
    typed["Tare"] = QVariant();
    typed["TNote1"] = QStringLiteral("Вручную");
    typed["TareN"] = 23800;
    typed["Nett"] = 80044 - 23800;
    book->addRow(typed);
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());

    test::TempDir dir;
    const QString pdf = QString::fromStdString((dir / "book.pdf").string());
    doc.savePdf(pdf);
    const QString out = qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/book-report-totals";
    const QString last = QString::number(doc.pageCount());
    EXPECT_EQ(QProcess::execute("pdftoppm", {"-png", "-r", "110", "-singlefile", "-f", last, "-l",
                                             last, pdf, out}),
              0);
}

}  // namespace
}  // namespace zv
