#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "reports/plain_text_export.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
#include "settings/settings.h"
#include "support/operator_identity.h"
#include "support/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

namespace zv {
namespace {

QString pdfToText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ReportExport, PdfIsValidAndCarriesTheSameTextAsThePages) {
    test::TempDir dir;
    Settings settings;
    settings.User = "ООО Весы";
    ReportLayouts layouts;
    layouts.applySettings(settings);
    auto trains = test::makeTrains();
    for (int t = 1; t <= 10; ++t)
        for (int w = 0; w < 14; ++w) trains->addRow(test::trainsRow(t, w == 0 ? 3 : 1, 60000, w));
    const ReportDocument doc = renderReport(layouts.trainsReport(), trains.get());
    ASSERT_GE(doc.pageCount(), 2);
    const QString path = QString::fromStdString((dir / "trains.pdf").string());

    doc.savePdf(path);
    EXPECT_TRUE(readFile(path).startsWith("%PDF-"));
    const QString text = pdfToText(path);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext failed";
    EXPECT_EQ(text.count(QLatin1Char('\f')), doc.pageCount());
    for (const char* s : {"ООО Весы,", "Составы, взвешенные в движении", "Масса потележечно, кг",
                          "Локомотив", "Продолжение на стр.", "Стр. 2", "Вагонов", "10-13"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    const QString plain = toPlainText(doc);
    for (const QString& page : plain.split(QLatin1Char('\f')))
        for (const QString& line : page.split(QLatin1Char('\n')))
            for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                ASSERT_TRUE(text.contains(word)) << word.toStdString();
}

TEST(ReportExport, TextFileHoldsThePlainTextExport) {
    test::TempDir dir;
    ReportLayouts layouts;
    auto book = test::makeBook();
    book->addRow(test::bookRow(0));
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());
    const QString path = QString::fromStdString((dir / "book.txt").string());
    doc.saveText(path);
    EXPECT_EQ(QString::fromUtf8(readFile(path)), toPlainText(doc));

    // Lines follow the page from top to bottom.
    const QString text = toPlainText(doc);
    EXPECT_LT(text.indexOf("стр. 1"), text.indexOf("Отчет по весовой книге"));
    EXPECT_LT(text.indexOf("Отчет по весовой книге"), text.indexOf("№ докум."));
    EXPECT_LT(text.indexOf("№ докум."), text.indexOf("52100000"));
}

TEST(ReportExport, UnwritableFileIsReportedAndNothingElseChanges) {
    test::TempDir dir;
    ReportLayouts layouts;
    auto book = test::makeBook();
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());
    const QString missing = QString::fromStdString((dir / "no" / "such" / "x").string());
    EXPECT_THROW(doc.savePdf(missing + ".pdf"), ReportError);
    EXPECT_THROW(doc.saveText(missing + ".txt"), ReportError);
}

// Under an installed program, which runs with the records group, a file the operator chooses is
// written with the operator's own rights: saving over a table fails, as from their own shell.
TEST(ReportExport, SavingOverATableFailsAsTheOperatorsOwnRightsWould) {
    if (!test::canBecomeOperator()) GTEST_SKIP() << "needs root to make an operator";
    test::TempDir dir;
    test::makeRecordsFolder(dir / "DB");
    test::makeOperatorFolder(dir / "home");
    const QString table = QString::fromStdString((dir / "DB" / "Trains.db").string());
    QFile tableFile(table);
    ASSERT_TRUE(tableFile.open(QIODevice::WriteOnly));
    tableFile.write("SQLite format 3");
    tableFile.close();
    ASSERT_TRUE(tableFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadGroup | QFileDevice::WriteGroup));
    ::chown(QFile::encodeName(table).constData(), 0, test::kRecordsGroup);
    ReportLayouts layouts;
    auto book = test::makeBook();
    book->addRow(test::bookRow(0));
    const ReportDocument doc = renderReport(layouts.bookReport(), book.get());
    const QString own = QString::fromStdString((dir / "home" / "book.txt").string());

    const int failed = test::runAsOperator([&] {
        int bits = 0;
        int bit = 1;
        for (const ExportFormat format : {ExportFormat::Pdf, ExportFormat::Text, ExportFormat::Csv}) {
            try {
                doc.save(table, format);
                bits |= bit;
            } catch (const ReportError& e) {
                if (e.message() != QStringLiteral("Не удалось записать файл %1: нет прав на запись").arg(table))
                    bits |= bit;
            }
            bit <<= 1;
        }
        try {
            doc.saveText(own);
        } catch (const ReportError&) {
            bits |= bit;
        }
        return bits;
    });
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(readFile(table), "SQLite format 3");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_gid, test::kOperator);  // the operator's group, not the records group
}

}  // namespace
}  // namespace zv
