// The operator exerciser in the suite (a short seeded run) and its long run, chosen by
// ZOLVELT_EXERCISER_MINUTES (minutes per seed) or ZOLVELT_EXERCISER_INPUTS (inputs per seed),
// on the seeds of ZOLVELT_EXERCISER_SEEDS ("1,2,3"); ZOLVELT_EXERCISER_LOGS names a folder
// for the input logs, ZOLVELT_EXERCISER_REACH_ALL puts every control within reach and
// ZOLVELT_EXERCISER_KEEP_AWAY ("DBView/Insert,...") keeps more controls out of it.

// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/train_simulator.h"
// clang-format off
#include "exerciser/exerciser.h"
// clang-format on

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <iostream>

#include "e2e/operator_steps.h"
#include "records/table.h"
#include "support/temp_dir.h"

namespace {

using zv::test::AppFixture;
using zv::test::ConverterLine;
using zv::test::Exerciser;
using zv::test::ExerciserOptions;
using zv::test::ExerciserReport;
using zv::test::TrainFeed;

// A short run the suite can afford.
constexpr uint64_t kSuiteSeed = 1;
constexpr long kSuiteInputs = 800;
// The line drops on average once in this many ticks of 200 ms (20 s of the line's time).
constexpr int kLinkDropMeanTicks = 100;

// Faults the exerciser finds in this program today whose mending is under way: the short run
// reports them and does not fail on them. Mended, they leave this list, and the table
// selector of the viewer (switching tables with a cell in edit ends the program) comes back
// within reach.
const QStringList kKnownFaults = {};
const QStringList kKeptAwayToday = {};

bool known(const zv::test::ExerciserFault& fault) {
    for (const QString& text : kKnownFaults)
        if (fault.what.contains(text)) return true;
    return false;
}

// The program after some work: an operator with an access code, two wagons brought in on
// the first train, one of them taken out on the second, so the book has a row and one
// wagon is on the territory.
void doSomeWork(AppFixture& app, TrainFeed& feed) {
    TMain& main = app.main();
    zv::Table& names = main.records().Names();
    names.insertValues({{"N", 1}, {"Name", "Иванов"}, {"Pass", "Ab1"}});
    names.flush();
    feed.nextTrain();
    zv::test::typeWagonNumber(main, 1, QString("52011236"));
    zv::test::typeWagonNumber(main, 2, QString("52022340"));
    zv::test::acceptWagon(main, 1, 1);
    zv::test::acceptWagon(main, 2, 1);
    feed.nextTrain();
    zv::test::typeWagonNumber(main, 0, QString("52011236"));
    zv::test::releaseWagon(main, 0);
    app.messages.clear();
}

ExerciserReport exercise(ExerciserOptions options) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication::setQuitOnLastWindowClosed(false);
    zv::test::TempDir devices;  // where the adapter's name lives
    AppFixture app;
    ConverterLine line(app, devices.path().string() + "/ttyUSB0");
    app.writeSettings(zv::test::feedScale(line.portName()));
    TMain& main = app.start();
    main.show();
    TrainFeed feed(app, line);
    doSomeWork(app, feed);
    feed.dropLinkAtRandom(options.seed, kLinkDropMeanTicks);
    Exerciser exerciser(app, feed, std::move(options));
    return exerciser.run();
}

ExerciserOptions options(uint64_t seed, long inputs, double seconds = 0, const QString& log = {}) {
    ExerciserOptions o;
    o.seed = seed;
    o.inputs = inputs;
    o.seconds = seconds;
    o.logPath = log;
    if (!qEnvironmentVariableIsSet("ZOLVELT_EXERCISER_REACH_ALL")) o.keepAway = kKeptAwayToday;
    o.keepAway << qEnvironmentVariable("ZOLVELT_EXERCISER_KEEP_AWAY").split(',', Qt::SkipEmptyParts);
    return o;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(OperatorExerciser, ASeededRunOfRandomInputFindsNoFault) {
    const QString logs = qEnvironmentVariable("ZOLVELT_EXERCISER_LOGS");
    const ExerciserReport report = exercise(options(
        kSuiteSeed, kSuiteInputs, 0, logs.isEmpty() ? QString() : logs + "/exerciser-suite.log"));
    std::cout << report.summary().toStdString() << "\n";
    EXPECT_TRUE(report.alive);
    for (const zv::test::ExerciserFault& fault : report.faults)
        EXPECT_TRUE(known(fault)) << "after input #" << fault.input << ": "
                                  << fault.what.toStdString();
    EXPECT_EQ(report.inputs, kSuiteInputs);
    EXPECT_GE(report.windows.size(), 4) << "the run stayed in too few windows";
    EXPECT_GE(report.trainsSent, 1);
}

TEST(OperatorExerciser, ASeedReplaysTheSameInputs) {
    zv::test::TempDir logs;
    const QString folder = QString::fromStdString(logs.path().string());
    for (const char* name : {"/a.log", "/b.log"}) exercise(options(3, 120, 0, folder + name));
    const QByteArray first = readAll(folder + "/a.log");
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(first, readAll(folder + "/b.log"));
}

TEST(OperatorExerciser, LongRun) {
    const double minutes = qEnvironmentVariable("ZOLVELT_EXERCISER_MINUTES").toDouble();
    const long inputs = qEnvironmentVariable("ZOLVELT_EXERCISER_INPUTS").toLong();
    if (minutes <= 0 && inputs <= 0)
        GTEST_SKIP() << "set ZOLVELT_EXERCISER_MINUTES or ZOLVELT_EXERCISER_INPUTS to run it";
    const QString seeds = qEnvironmentVariable("ZOLVELT_EXERCISER_SEEDS", "1,2,3");
    const QString logs = qEnvironmentVariable("ZOLVELT_EXERCISER_LOGS");
    for (const QString& seed : seeds.split(',', Qt::SkipEmptyParts)) {
        const QString log = logs.isEmpty() ? QString() : logs + "/exerciser-" + seed + ".log";
        const ExerciserReport report = exercise(
            options(seed.toULongLong(), inputs > 0 ? inputs : 1L << 40, minutes * 60, log));
        std::cout << "seed " << seed.toStdString() << ": " << report.summary().toStdString()
                  << "\n";
        EXPECT_TRUE(report.alive) << "seed " << seed.toStdString();
        EXPECT_TRUE(report.faults.isEmpty()) << "seed " << seed.toStdString();
    }
}

}  // namespace
