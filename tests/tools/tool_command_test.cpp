// The commands of zolvelt-tool, run in-process on real files, and once as the real program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <utility>

#include "tools/tool_run.h"
#include "records/database.h"
#include "records/schema.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "records/table_templates.h"
#include "simulator/raw_file_sink.h"
#include "simulator/train_simulator.h"
#include "support/temp_dir.h"
#include "support/test_scale.h"
#include "central/outbox_queue.h"

namespace zv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string Zero = "1000,1000,1000,1000,1000,1000,1000,1000";
const std::string Coef = "2000000,2000000,2000000,2000000,2000000,2000000,2000000,2000000";

using test::run;
using test::ToolRun;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A settings file of a one-platform scale without calibration keys, and a recording of a
// locomotive and five wagons crossing it.
class ToolFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(ini(), "[Scales]\r\nNpl=0\r\nNadc=1\r\ntflt=10\r\n");
        Settings s = test::scaleSettings(0, 1);
        s.tflt = 10;
        TrainDescription train;
        train.vehicles.assign(5, makeWagon(4, 64000));
        train.vehicles.insert(train.vehicles.begin(), makeLocomotive(126000));
        RawFileSink raw(this->raw());
        TrainSimulator(s, train).run(raw);
        raw.close();
    }

    std::string ini() const { return (dir / "scale.ini").string(); }
    std::string raw() const { return (dir / "train.dat").string(); }

    test::TempDir dir;
};

TEST_F(ToolFiles, ReplayPrintsOneCsvLinePerStoredWagonAndASummary) {
    ToolRun r = run({"replay", "--raw", raw(), "--ini", ini(), "--zero", Zero, "--coef", Coef});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> out = lines(r.out);
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0],
              "Train,Time,Wagon,Weight,Wei1,Wei2,Wei3,Direc,Note,Axle,Speed,BaseW,BaseB,WeiL");
    const std::regex row(
        R"(1,\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3},,(\d+),0,0,\d+,0,([13]),([46]),\d+,\d+,\d+,-?\d+)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out[1], m, row)) << out[1];
    EXPECT_EQ(m[2], "3");  // the leading locomotive
    EXPECT_EQ(m[3], "6");
    ASSERT_TRUE(std::regex_match(out[6], m, row)) << out[6];
    EXPECT_EQ(m[1], "64000");
    EXPECT_EQ(r.err, "replay: " + std::to_string(std::filesystem::file_size(raw()) / 18) +
                         " samples fed, 0 frames rejected, 0 calibration marks, 6 wagons stored\n");
}

// The columns after Train and Time, sorted: what a stored row keeps of the weighing.
std::vector<std::string> rowValues(const std::string& csv) {
    std::vector<std::string> values;
    for (const std::string& line : lines(csv)) {
        size_t time = line.find(',');
        values.push_back(line.substr(line.find(',', time + 1)));
    }
    std::sort(values.begin() + 1, values.end());
    return values;
}

TEST_F(ToolFiles, ReplayWithAFolderStoresEachRunAsTheNextTrain) {
    const std::string db = (dir / "tables").string();
    const std::vector<std::string> args = {"replay", "--raw", raw(),    "--ini", ini(),
                                           "--zero", Zero,    "--coef", Coef};
    std::vector<std::string> withDb = args;
    withDb.insert(withDb.end(), {"--db", db});
    ToolRun plain = run(args);
    ToolRun first = run(withDb);
    ToolRun second = run(withDb);
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;

    EXPECT_EQ(rowValues(first.out), rowValues(plain.out));
    EXPECT_EQ(rowValues(second.out), rowValues(plain.out));
    for (const auto& [r, train] : {std::pair{first, "1"}, std::pair{second, "2"}}) {
        std::vector<std::string> out = lines(r.out);
        ASSERT_EQ(out.size(), 7u);
        for (size_t i = 1; i < out.size(); ++i)
            EXPECT_EQ(out[i].substr(0, 2), train + std::string(","));
        EXPECT_THAT(r.err, HasSubstr("6 wagons stored as train " + std::string(train) + "\n"));
    }
    // Only the first run found the folder empty and created the tables.
    EXPECT_THAT(first.err, HasSubstr("не было таблиц базы данных. Для новой установки созданы новые пустые таблицы"));
    EXPECT_THAT(second.err, ::testing::Not(HasSubstr("созданы")));

    Database database;
    database.setFolder(QString::fromStdString(db));
    database.addPassword(schema::kTablePassword);
    Table trains(database, schema::trains());
    trains.open();
    EXPECT_EQ(trains.recordCount(), 12);

    // Stored as the program stores them, sealed and logged: its check, on the settings file the
    // trains were weighed with, finds nothing amiss.
    const ToolRun check = run({"check-records", "--db", db, "--ini", ini()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    SqliteFile log;
    log.open(QString::fromStdString(db) + "/Events.db", false);
    SqlStatement stored = log.prepare("SELECT Subject, NewValue FROM Events WHERE Kind = 'Состав сохранен' ORDER BY N");
    QStringList events;
    while (stored.step()) events.append(stored.column(0).toString() + ": " + stored.column(1).toString());
    EXPECT_EQ(events, (QStringList{"Состав 1: вагонов: 6", "Состав 2: вагонов: 6"}));
}

TEST_F(ToolFiles, ReplayIntoTablesFillsTheOutboxOnlyWhenSendingIsOn) {
    for (const bool send : {false, true}) {
        writeFile(ini(), std::string("[Scales]\r\nNpl=0\r\nNadc=1\r\ntflt=10\r\n[Central]\r\nSend=") +
                             (send ? "1" : "0") + "\r\nScale=north\r\n");
        const std::string db = (dir / (send ? "sending" : "quiet")).string();
        const ToolRun r =
            run({"replay", "--raw", raw(), "--ini", ini(), "--zero", Zero, "--coef", Coef, "--db", db});
        ASSERT_EQ(r.status, 0) << r.err;
        const qint64 rows = static_cast<qint64>(lines(r.out).size()) - 1;  // below the CSV heading
        ASSERT_GT(rows, 0);
        qint64 trainEntries = 0;
        for (const auto& entry : central::OutboxQueue(QString::fromStdString(db)).oldest(1000))
            trainEntries += entry.table == "Trains" ? 1 : 0;
        EXPECT_EQ(trainEntries, send ? rows : 0) << send;
    }
}

// The real program, with no screen to talk to: it must not need one for files.
TEST_F(ToolFiles, ReportsRenderTheStoredTrainsAndTheBookWithoutAScreen) {
    const std::string db = (dir / "tables").string();
    ASSERT_EQ(
        run({"replay", "--raw", raw(), "--ini", ini(), "--zero", Zero, "--coef", Coef, "--db", db})
            .status,
        0);
    const std::string pdf = (dir / "trains.pdf").string();
    const std::string txt = (dir / "book.txt").string();
    const std::string err = (dir / "err.txt").string();
    const std::string tool =
        std::string("env -u QT_QPA_PLATFORM DISPLAY=:97 '") + ZOLVELT_TOOL_PATH + "'";
    ASSERT_EQ(
        std::system((tool + " report trains --db '" + db + "' --pdf '" + pdf + "' 2>'" + err + "'")
                        .c_str()),
        0)
        << readFile(err);
    EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
    const std::string pdfText = (dir / "trains.txt").string();
    ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + pdfText + "'").c_str()), 0);
    EXPECT_THAT(readFile(pdfText), HasSubstr("Составы, взвешенные в движении"));
    EXPECT_THAT(readFile(pdfText), HasSubstr("Состав 1"));

    ASSERT_EQ(std::system((tool + " report book --db '" + db + "' --ini '" + ini() + "' --txt '" +
                           txt + "' 2>'" + err + "'")
                              .c_str()),
              0)
        << readFile(err);
    EXPECT_THAT(readFile(txt), HasSubstr("Отчет по весовой книге"));

    const std::string csv = (dir / "trains.csv").string();
    ToolRun sheet = run({"report", "trains", "--db", db, "--csv", csv});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    EXPECT_EQ(readFile(csv).substr(0, 67), "\xEF\xBB\xBFСостав;Направление;Вагон;Масса, кг;");

    ToolRun badFilter = run({"report", "book", "--db", db, "--filter", "Weight>", "--txt", txt});
    EXPECT_EQ(badFilter.status, 2);
    EXPECT_THAT(badFilter.err, HasSubstr("Bad filter \"Weight>\""));
    ToolRun noBook =
        run({"report", "waybill", "--db", db, "--book", "Book[01.2020].db", "--txt", txt});
    EXPECT_EQ(noBook.status, 2);
    EXPECT_THAT(noBook.err, HasSubstr("No table Book[01.2020].db"));
}

TEST_F(ToolFiles, TemplatesAreEmptyProtectedTablesTheRecordsLayerOpens) {
    const std::string out = (dir / "program").string();
    ToolRun r = run({"templates", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    Database database;
    database.setFolder(QString::fromStdString(out));
    database.addPassword(schema::kTablePassword);
    for (const TableTemplate& t : tableTemplates()) {
        SCOPED_TRACE(t.fileName.toStdString());
        Table table(database, t.def);
        table.setFileName(t.fileName);
        ASSERT_NO_THROW(table.open());
        EXPECT_TRUE(table.isEmpty());
    }
}

TEST_F(ToolFiles, CalibrationOptionsReplaceAMissingCalibrationAndTheFileStaysUntouched) {
    std::string before = readFile(ini());
    ToolRun plain = run({"replay", "--raw", raw(), "--ini", ini()});
    EXPECT_EQ(plain.status, 0);
    EXPECT_THAT(plain.err, HasSubstr("calibration damaged or absent"));
    ToolRun overridden =
        run({"replay", "--raw", raw(), "--ini", ini(), "--zero", Zero, "--coef", Coef});
    EXPECT_THAT(overridden.err, ::testing::Not(HasSubstr("damaged")));
    EXPECT_EQ(readFile(ini()), before);
}

// Fadc is a divisor of the replay clock and of the simulator's motion.
TEST_F(ToolFiles, ASettingsFileWithFadc0IsReplayedButNotSimulated) {
    const std::string fadc0 = (dir / "fadc0.ini").string();
    writeFile(fadc0, "[Scales]\r\nNpl=0\r\nNadc=1\r\nFadc=0\r\n");
    ToolRun replay =
        run({"replay", "--raw", raw(), "--ini", fadc0, "--zero", Zero, "--coef", Coef});
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_THAT(replay.err, HasSubstr(" samples fed"));
    ToolRun simulate = run({"simulate", "--ini", fadc0, "--truth", (dir / "t.csv").string()});
    EXPECT_EQ(simulate.status, 2);
    EXPECT_THAT(simulate.err, HasSubstr("Fadc must be positive"));
}

TEST_F(ToolFiles, SimulateWritesTheFilesItIsAskedFor) {
    std::string train = (dir / "short.train").string();
    writeFile(train, "speed 6\nlocomotive\nwagon axles=8 mass=120000 count=2\n");
    std::string capture = (dir / "short.cap").string();
    std::string truth = (dir / "short.csv").string();
    ToolRun r =
        run({"simulate", "--ini", ini(), "--zero", Zero, "--coef", Coef, "--train", train,
             "--direction", "-1", "--capture", capture, "--corrupt", "0.02", "--truth", truth});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::filesystem::file_size(capture) % 23, 0u);
    std::vector<std::string> rows = lines(readFile(truth));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].substr(0, 22), "2,wagon,8,120000,60000");

    ToolRun replay =
        run({"replay", "--capture", capture, "--ini", ini(), "--zero", Zero, "--coef", Coef});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(lines(replay.out).size(), 4u);
    EXPECT_THAT(replay.err, ::testing::ContainsRegex("[1-9][0-9]* frames rejected"));
}

TEST_F(ToolFiles, MistakesEndWithStatus2AndAReason) {
    std::string missing = (dir / "missing.dat").string();
    std::string badTrain = (dir / "bad.train").string();
    writeFile(badTrain, "wagon axles=4 mass=heavy\n");
    std::string truth = (dir / "t.csv").string();
    std::string fadc0 = (dir / "fadc0.ini").string();
    writeFile(fadc0, "[Scales]\r\nFadc=0\r\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given"},
        {{"weigh"}, "unknown command 'weigh'"},
        {{"replay"}, "give exactly one of --raw and --capture"},
        {{"replay", "--raw", raw(), "--capture", raw()}, "give exactly one of --raw and --capture"},
        {{"replay", "--raw"}, "option --raw needs a value"},
        {{"replay", "--raw", raw(), "--raw", raw()}, "option --raw is given twice"},
        {{"replay", "--raw", raw(), "--speed", "5"}, "unknown option '--speed'"},
        {{"replay", "--raw", raw(), "--zero", "1,2,3"}, "option --zero wants eight integers"},
        {{"replay", "--raw", raw(), "--coef", Zero + ",x"}, "option --coef wants eight integers"},
        {{"replay", "--raw", missing}, "Cannot open file \"" + missing + "\""},
        {{"replay", "--capture", missing}, "Cannot open file \"" + missing + "\""},
        {{"replay", "--raw", raw(), "--ini", missing}, "Cannot open file \"" + missing + "\""},
        {{"simulate", "--wagons", "3"}, "give at least one of --pty, --raw, --capture and --truth"},
        {{"simulate", "--truth", truth, "--corrupt", "0.1"}, "--corrupt needs --capture or --pty"},
        {{"simulate", "--truth", truth, "--pause", "5"}, "option --pause needs --pty"},
        {{"simulate", "--pty", "--raw", raw()}, "--pty plays trains live and goes with none of"},
        {{"simulate", "--pty", "--trains", "1.5"}, "option --trains wants a whole number"},
        {{"simulate", "--pty", "--pty"}, "option --pty is given twice"},
        {{"simulate", "--truth", truth, "--direction", "0"}, "option --direction wants +1 or -1"},
        {{"simulate", "--truth", truth, "--speed", "8,7,6"}, "takes one or two numbers"},
        {{"simulate", "--truth", truth, "--speed", "80"}, "wants numbers within 0.5..50"},
        {{"simulate", "--truth", truth, "--axles", "5"}, "option --axles wants 4, 6 or 8"},
        {{"simulate", "--truth", truth, "--train", badTrain, "--wagons", "2"},
         "option --wagons cannot go with --train"},
        {{"simulate", "--truth", truth, "--train", badTrain}, "line 1: not a number: 'heavy'"},
        {{"simulate", "--truth", (dir / "no" / "t.csv").string()}, "Cannot create file"},
        {{"replay", "--raw", raw(), "--db", raw() + "/tables"}, "Cannot create folder"},
        {{"templates"}, "give --out DIR"},
        {{"report"}, "name the report: book, trains or waybill"},
        {{"report", "weekly", "--db", "."}, "unknown report 'weekly'"},
        {{"report", "book", "--txt", truth}, "give --db DIR"},
        {{"report", "book", "--db", "."}, "give --pdf OUT, --txt OUT or --csv OUT"},
        {{"report", "trains", "--db", ".", "--txt", truth, "--filter", "N>0"},
         "option --filter is for book and waybill"},
        {{"report", "book", "--db", ".", "--txt", truth, "--row", "3"},
         "option --row is for waybill"},
        {{"report", "waybill", "--db", ".", "--csv", truth}, "option --csv is for book and trains"},
        {{"report", "waybill", "--db", ".", "--txt", truth, "--row", "0"},
         "option --row wants a whole number within 1..2147483647, not '0'"},
        {{"templates", "--out", raw() + "/program"}, raw() + "/program"},
        {{"verify"}, "give the settings file with --ini"},
        {{"verify", "--ini", fadc0}, "Fadc must be positive"},
        {{"verify", "--ini", missing}, "Cannot open file \"" + missing + "\""},
        {{"verify", "--ini", ini(), "--class", "0.3"}, "option --class wants 0.2, 0.5, 1 or 2"},
        {{"verify", "--ini", ini(), "--runs", "0"},
         "option --runs wants a whole number within 1..100"},
        {{"verify", "--ini", ini(), "--speeds", "3,x"}, "option --speeds wants numbers"},
        {{"verify", "--ini", ini(), "--all-kinds", "--all-kinds"},
         "option --all-kinds is given twice"},
        {{"verify", "--ini", ini(), "--csv", (dir / "no" / "v.csv").string()},
         "Cannot create file"},
        {{"verify", "--ini", ini(), "--method", "2"}, "option --method wants 0, 1 or both, not '2'"},
        {{"verify", "--ini", ini(), "--ideal", "--noise", "5"},
         "option --noise cannot go with --ideal"},
    };
    for (const auto& [args, reason] : cases) {
        ToolRun r = run(args);
        EXPECT_EQ(r.status, 2) << reason;
        EXPECT_THAT(r.err, HasSubstr(reason));
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(run({}).err,
              "zolvelt-tool: no command given\nusage: zolvelt-tool <command> [options]\n"
              "commands: replay, simulate, report, templates, check, verify, central, check-records, seal-records,\n"
              "  identify, set-access-code\n");
}

// Asking for help is no mistake: the usage goes to the standard output with status 0.
TEST(ToolHelp, HelpPrintsTheUsageOfEveryCommandOrOfTheOneAskedFor) {
    const char* const commands[] = {"replay", "simulate", "report", "templates", "check",
                                    "verify", "central", "check-records", "seal-records", "identify",
                                    "set-access-code"};
    for (const char* word : {"--help", "-h", "help"}) {
        ToolRun r = run({word});
        EXPECT_EQ(r.status, 0) << word;
        EXPECT_EQ(r.err, "") << word;
        for (const char* command : commands)
            EXPECT_THAT(r.out, HasSubstr(std::string("zolvelt-tool ") + command + " ")) << word;
    }
    const std::vector<std::vector<std::string>> asks = {
        {"report", "--help"}, {"report", "-h"}, {"help", "report"}, {"--help", "report"}};
    for (const auto& args : asks) {
        ToolRun r = run(args);
        EXPECT_EQ(r.status, 0) << args[0] << ' ' << args[1];
        EXPECT_THAT(r.out, ::testing::StartsWith("usage: zolvelt-tool report (book|trains|waybill)"));
        EXPECT_THAT(r.out, ::testing::Not(HasSubstr("zolvelt-tool replay")));
    }
    ToolRun unknown = run({"help", "weigh"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_THAT(unknown.err, HasSubstr("unknown command 'weigh'"));
}

TEST_F(ToolFiles, CheckJudgesTheSettingsAndPrintsTheTfltTable) {
    std::string shipped = (dir / "shipped.ini").string();
    writeFile(shipped, "[Scales]\r\n");
    ToolRun r = run({"check", "--ini", shipped});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("FAIL: При tflt = 100 вагоны не взвешиваются выше 2,4 км/ч. "
                                 "Рекомендуется tflt = 10\n"));
    EXPECT_EQ(run({"check", "--ini", ini()}).status, 0);  // one platform, tflt 10

    std::vector<std::string> table = lines(run({"check", "--ini", shipped, "--table"}).out);
    EXPECT_THAT(table, ::testing::Contains("| 2 × 5000 | 50 | 7 | 16 | 10 |  |"));
    EXPECT_THAT(table, ::testing::Contains("| 2 × 5000 | 100 | 18 | 36 | 21 |  |"));
}

// The commissioning guides show the table the check prints for the shipped settings.
TEST_F(ToolFiles, TheGuidesShowTheTfltTableOfTheCheck) {
    std::string shipped = (dir / "shipped.ini").string();
    writeFile(shipped, "[Scales]\r\n");
    const std::string readme = readFile(std::string(ZOLVELT_SOURCE_DIR) + "/README.md");
    std::string help = readFile(std::string(ZOLVELT_SOURCE_DIR) + "/help/Tuning.htm");
    int rows = 0;
    for (const std::string& row : lines(run({"check", "--ini", shipped, "--table"}).out)) {
        if (row.rfind("| 2 × ", 0) != 0) continue;
        ++rows;
        EXPECT_THAT(readme, HasSubstr(row + "\n"));
        std::string cells =
            "<tr><td>" +
            std::regex_replace(row.substr(2, row.size() - 4), std::regex(" \\| "), "</td><td>") +
            "</td></tr>";
        EXPECT_THAT(help, HasSubstr(cells));
    }
    EXPECT_EQ(rows, 12);
}

// Short runs: two speeds, one passage of each train each way.
ToolRun verify(const std::string& ini, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"verify", "--ini",    ini,    "--zero", Zero, "--coef",
                                     Coef,     "--speeds", "3,10", "--runs", "1"};
    args.insert(args.end(), more.begin(), more.end());
    return run(args);
}

TEST_F(ToolFiles, VerifyFailsTheShippedSettingsAndNamesTflt) {
    std::string shipped = (dir / "shipped.ini").string();
    writeFile(shipped, "[Scales]\r\n");
    ToolRun r = verify(shipped);
    EXPECT_EQ(r.status, 1) << r.out;
    std::string summary = lines(r.out).back();
    EXPECT_THAT(summary, HasSubstr("verify: FAIL class 0.5"));
    EXPECT_THAT(summary, HasSubstr("4ax loaded at 10 km/h weighed 0 of 4"));
    EXPECT_THAT(summary, HasSubstr("При tflt = 100 вагоны не взвешиваются выше"));
}

// Replay and verify weigh by the settings file's method; verify prints both methods side by
// side when asked, and says which signal it simulated.
TEST_F(ToolFiles, ReplayAndVerifyFollowTheWeighingMethodOfTheSettings) {
    std::string byAxles = (dir / "axles.ini").string();
    writeFile(byAxles, "[Scales]\r\nNpl=0\r\nNadc=1\r\ntflt=10\r\nWeighMethod=1\r\n");
    auto replay = [this](const std::string& settings) {
        return run({"replay", "--raw", raw(), "--ini", settings, "--zero", Zero, "--coef", Coef});
    };
    ToolRun axles = replay(byAxles);
    ASSERT_EQ(axles.status, 0) << axles.err;
    EXPECT_NE(rowValues(axles.out), rowValues(replay(ini()).out)) << "weighed another way";
    const std::vector<std::string> out = lines(axles.out);
    ASSERT_EQ(out.size(), 7u);
    const std::regex row(R"(1,[^,]+,,(\d+),0,0,(\d+),0,([13]),.*)");
    for (size_t i = 1; i < out.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(out[i], m, row)) << out[i];
        EXPECT_NEAR(std::stoi(m[1]), std::stoi(m[2]), 25) << "one platform: Wei3 is the weight";
        EXPECT_NEAR(std::stoi(m[1]), i == 1 ? 126000 : 64000, 100) << out[i];
    }

    ToolRun both = verify(byAxles, {"--method", "both", "--ideal"});
    EXPECT_EQ(both.status, 0) << both.out;
    EXPECT_THAT(both.out, HasSubstr("signal: ideal (no noise, no oscillation)\n"));
    EXPECT_THAT(both.out, HasSubstr("method 0 (bogie windows)          method 1 (axle loads)"));
    EXPECT_THAT(both.out, HasSubstr("check: Все вагоны и локомотивы взвешиваются по нагрузкам осей"));
    ToolRun one = verify(ini(), {"--method", "1"});
    EXPECT_THAT(one.out, HasSubstr("signal: noise 10 kg, axle oscillation 3 % at 4 Hz, body "
                                   "bounce 1 % at 1.5 Hz\nmethod: 1 (axle loads)\n"));
}

TEST_F(ToolFiles, VerifyPassesTheDemoScaleAndWritesItsTable) {
    std::string demo = (dir / "demo.ini").string();
    writeFile(demo, "[Scales]\r\nFadc=50\r\nNpl=1\r\nNadc=1\r\ntflt=10\r\n");
    std::string csv = (dir / "verify.csv").string();
    ToolRun r = verify(demo, {"--csv", csv, "--class", "0.5"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(lines(r.out).back(), HasSubstr("verify: PASS class 0.5"));
    std::vector<std::string> table = lines(readFile(csv));
    ASSERT_EQ(table.size(), 1u + 2 * 9);  // header, nine kinds at two speeds
    EXPECT_EQ(table[0],
              "Kind,Speed,Runs,Weighed,MeanError,LargestError,Class,SpeedError,BaseError,"
              "BogieBaseError");
    EXPECT_THAT(table[2], ::testing::StartsWith("4ax empty,3,4,100.0,"));
    // Eight-axle wagons and locomotives are shown; they decide only when asked.
    EXPECT_THAT(r.out, HasSubstr("8ax empty"));
    EXPECT_EQ(verify(demo, {"--all-kinds"}).status, 1);
}

// A platform noisier than `Zst` allows: verify fails for the zero, not for the weighing, and
// says with which noise; check says which noise `Zst` stands; a wider `Zst` passes.
TEST_F(ToolFiles, VerifyAndCheckSayWhenZstIsTooTightForTheNoise) {
    std::string demo = (dir / "demo.ini").string();
    writeFile(demo, "[Scales]\r\nFadc=50\r\nNpl=1\r\nNadc=1\r\ntflt=10\r\n");
    ToolRun noisy = verify(demo, {"--noise", "25"});
    EXPECT_EQ(noisy.status, 1) << noisy.out;
    const std::string summary = lines(noisy.out).back();
    EXPECT_THAT(summary, HasSubstr("zero not set in the 2 s of empty scale before the train in "));
    EXPECT_THAT(summary, HasSubstr("at noise 25 kg per input Zst = 50 kg is too tight"));
    EXPECT_THAT(summary, Not(HasSubstr("off by")));
    const std::string limit =
        "Ноль при включении: при Zst = 50 кг первое полное показание после открытия порта "
        "устойчиво при шуме до 14 кг на вход (СКО)";
    EXPECT_THAT(noisy.out, HasSubstr("zero: " + limit));

    ToolRun check = run({"check", "--ini", demo, "--zero", Zero, "--coef", Coef});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_THAT(check.out, HasSubstr("note: " + limit));

    std::string wider = (dir / "wider.ini").string();
    writeFile(wider, "[Scales]\r\nFadc=50\r\nNpl=1\r\nNadc=1\r\ntflt=10\r\nZst=150\r\n");
    ToolRun quiet = verify(wider, {"--noise", "25"});
    EXPECT_EQ(quiet.status, 0) << quiet.out;
    EXPECT_THAT(quiet.out, Not(HasSubstr("zero")));

    // A recording of such a platform: the replay says why its weights are heavy.
    std::string noisyRaw = (dir / "noisy.dat").string();
    ASSERT_EQ(run({"simulate", "--ini", demo, "--zero", Zero, "--coef", Coef, "--wagons", "2",
                   "--noise", "150", "--raw", noisyRaw})
                  .status,
              0);
    ToolRun replay = run({"replay", "--raw", noisyRaw, "--ini", demo, "--zero", Zero, "--coef", Coef});
    EXPECT_THAT(replay.err, HasSubstr("replay: Ноль не установлен: показания весов не успокаиваются, "
                                      "разброс не меньше "));
    EXPECT_THAT(replay.err, HasSubstr("(before the first train)\n"));
}

TEST_F(ToolFiles, TheProgramItselfReplaysARecording) {
    std::string out = (dir / "out.csv").string();
    std::string err = (dir / "err.txt").string();
    std::string command = std::string("'") + ZOLVELT_TOOL_PATH + "' replay --raw '" + raw() +
                          "' --ini '" + ini() + "' --zero " + Zero + " --coef " + Coef + " >'" +
                          out + "' 2>'" + err + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(err);
    EXPECT_EQ(lines(readFile(out)).size(), 7u);
    EXPECT_THAT(readFile(err), HasSubstr("6 wagons stored"));

    command = std::string("'") + ZOLVELT_TOOL_PATH + "' replay --raw '" + raw() + ".gone' 2>'" +
              err + "'";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_THAT(readFile(err), HasSubstr("Cannot open file"));
}

}  // namespace
}  // namespace zv
