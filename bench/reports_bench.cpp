// The weighing-book report of a month's book of 10 000 rows, from the table file to the PDF.
// Target: at most 5 s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "records/clock.h"
#include "records/records_database.h"
#include "records/table_templates.h"
#include "reports/report_engine.h"
#include "reports/report_layouts.h"
#include "reports/table_dataset.h"
#include "settings/settings.h"

namespace {

class Silent : public zv::RecordsNotifier {
  public:
    void information(const QString&) override {}
};

// A folder of working tables whose current book holds `rows` releases.
struct BookOfRows {
    QTemporaryDir dir;
    zv::Settings settings;
    zv::SystemClock clock;
    Silent notifier;
    std::unique_ptr<zv::RecordsDatabase> records;

    explicit BookOfRows(int rows) {
        zv::writeTemplates(dir.path());
        settings.Path = QDir(dir.path()).filePath(QStringLiteral("DB/")).toStdString();
        records = std::make_unique<zv::RecordsDatabase>(settings, dir.path(), clock, notifier);
        records->DBOpen();
        zv::Table& book = records->Book();
        const QDateTime start = clock.now().addDays(-20);
        records->DSouB().detach();  // no grid reloads the book after every row
        book.beginBatch();
        for (int n = 0; n < rows; ++n)
            book.insertValues({{"Wagon", QString::number(52000000 + n)},
                               {"Time1", start.addSecs(n * 60)},
                               {"Time2", start.addSecs(n * 60 + 3600)},
                               {"Train1", 1 + n / 50},
                               {"Train2", 2 + n / 50},
                               {"Brut", 80000 + n % 1000},
                               {"BNote", 1},
                               {"Tare", 24000},
                               {"TNote", 0},
                               {"NLoad", 1},
                               {"WeiL", 400},
                               {"Load", 1},
                               {"Dir", n % 3},
                               {"Station", 1},
                               {"Client", 1},
                               {"Doc", QString::number(n)},
                               {"BrutD", 80500},
                               {"TareD", 23900},
                               {"TareW", 23800},
                               {"Name1", 0},
                               {"Name2", 0}});
        book.flush();
    }
};

void BM_BookReportToPdf(benchmark::State& state) {
    BookOfRows fixture(static_cast<int>(state.range(0)));
    zv::ReportLayouts layouts;
    layouts.applySettings(fixture.settings);
    const QString pdf = QDir(fixture.dir.path()).filePath(QStringLiteral("book.pdf"));
    for (auto _ : state) {
        zv::TableDataset rows = zv::TableDataset::filteredRows(fixture.records->Book());
        const zv::ReportDocument doc = zv::renderReport(layouts.bookReport(), &rows);
        doc.savePdf(pdf);
        state.counters["pages"] = doc.pageCount();
    }
}
BENCHMARK(BM_BookReportToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The three steps of the above on their own: reading the rows, the layout pass, the PDF.
void BM_BookReportSteps(benchmark::State& state) {
    BookOfRows fixture(10000);
    zv::ReportLayouts layouts;
    const QString pdf = QDir(fixture.dir.path()).filePath(QStringLiteral("book.pdf"));
    zv::TableDataset rows = zv::TableDataset::filteredRows(fixture.records->Book());
    const zv::ReportDocument doc = zv::renderReport(layouts.bookReport(), &rows);
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                benchmark::DoNotOptimize(zv::TableDataset::filteredRows(fixture.records->Book()));
                break;
            case 1:
                benchmark::DoNotOptimize(zv::renderReport(layouts.bookReport(), &rows));
                break;
            default:
                doc.savePdf(pdf);
        }
    }
}
BENCHMARK(BM_BookReportSteps)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
