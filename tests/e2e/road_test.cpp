// The road of a train and its wagons through the whole program: frames on a serial line,
// the train list, acceptance, release, the weighing book, its report and a restart.

// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/train_simulator.h"
// clang-format off
#include "e2e/converter_line.h"
#include "e2e/operator_steps.h"
// clang-format on

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <algorithm>
#include <functional>

#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "ui/tlie_edit.h"

namespace {

using zv::Row;
using zv::TruthRow;
using zv::test::AppFixture;
using zv::test::ConverterLine;
using zv::test::Passage;

struct Wagon {
    const char* number;
    double loaded;     // kg, as it comes in
    double imbalance;  // kg, front bogie minus rear bogie, loaded
    double empty;      // kg, as it leaves
};
const Wagon kWagons[] = {{"52011236", 62130, 1200, 23410},
                         {"52022340", 66480, -900, 24085},
                         {"52033453", 69815, 2500, 22640},
                         {"52044567", 64260, 0, 25333}};
constexpr int kLoad = 1;  // the second row of the loads every new folder gets
constexpr int kOperatorA = 1;
constexpr int kOperatorB = 2;
const QString kCodeA = "Ab1";
const QString kCodeB = "Cd2";

// Frames per second 50, two platforms of two inputs, a settling delay a 5 m platform leaves
// room for, and a train ending 4 s after its last axle.
zv::Settings lineScale(const std::string& port) {
    zv::Settings s = zv::test::testScale();
    s.tflt = 10;
    s.tTrEnd = 4000;
    s.Port = port;
    s.Connect = true;
    return s;
}

// In: a locomotive ahead of the four wagons, loaded, slowing from 8 to 5 km/h. Out: the four
// wagons, empty, running the other way round and speeding up from 5 to 8 km/h.
zv::TrainDescription comingIn() {
    zv::TrainDescription t;
    t.speed = {8, 5};
    t.emptySeconds = 5;  // the scale stays empty until the train has timed out
    t.vehicles.push_back(zv::makeLocomotive(128370));
    for (const Wagon& w : kWagons) t.vehicles.push_back(zv::makeWagon(4, w.loaded, w.imbalance));
    return t;
}

zv::TrainDescription goingOut() {
    zv::TrainDescription t;
    t.direction = -1;
    t.speed = {5, 8};
    t.emptySeconds = 5;
    for (const Wagon& w : kWagons) t.vehicles.insert(t.vehicles.begin(), zv::makeWagon(4, w.empty));
    return t;
}

// The accuracy a weighing is held to: one weight division (Did, 50 kg), half of it for the
// rounding to Did and half for the noise of the inputs (3 kg each) left after filtering.
double accuracy(const zv::Settings& s) {
    return s.Did;
}

// What the book and its report say of a wagon.
QStringList bookFigures(const Row& row) {
    QStringList figures;
    for (const char* field : {"Brut", "Tare", "Nett", "Dir", "Load", "Station", "Client", "Doc",
                              "Name1", "Name2", "Train1", "Train2", "Time1", "Time2"})
        figures << row.value(field).toString();
    return figures;
}

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class Road : public ::testing::Test {
  protected:
    zv::Settings scale() const { return lineScale(line.portName()); }

    // A first start on an empty program folder: the tables are made, operator 0 signs in.
    // Then the two operators get their accounts.
    void startUp() {
        app.writeSettings(scale());
        main = &app.start();
        ASSERT_TRUE(main->link().isOpen()) << app.messages.texts().join('|').toStdString();
        const QStringList texts = app.messages.texts();
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts.size(), 1) << texts.join('|').toStdString();
        EXPECT_TRUE(texts.front().contains("Для новой установки созданы новые пустые таблицы"));
        EXPECT_EQ(main->currentOperator(), 0);
        main->show();
        zv::Table& names = main->records().Names();
        names.insertValues({{"N", kOperatorA}, {"Name", "Иванов"}, {"Pass", kCodeA}});
        names.insertValues({{"N", kOperatorB}, {"Name", "Петров"}, {"Pass", kCodeB}});
        names.flush();
        app.messages.clear();
    }

    // The train crosses the scale while the window says so; tTrEnd after its last axle the
    // train list shows it as train `number`.
    Passage rollTrain(const zv::TrainDescription& train, int number, double spoiled = 0) {
        const Passage passage = zv::test::simulatePassage(scale(), train, spoiled);
        const MainControls& c = main->controls();
        bool passingShown = false;
        bool passing = false;
        uint32_t endedAt = 0;
        line.play(passage, [&] {
            const bool was = passing;
            passing = main->engine().trainInProgress();
            passingShown =
                passingShown || (passing && c.P13->isVisibleTo(main) && !c.Panel3->isEnabled());
            if (was && !passing) endedAt = app.clock;
        });
        EXPECT_TRUE(passingShown) << "\"Взвешивается проходящий состав\" while the train passes";
        EXPECT_FALSE(passing) << "the train has not ended";
        const uint32_t lastAxleLeft = app.clock - static_cast<uint32_t>(train.emptySeconds * 1000);
        const auto tTrEnd = static_cast<uint32_t>(main->settings().tTrEnd);
        EXPECT_GE(endedAt - lastAxleLeft, tTrEnd);
        EXPECT_LE(endedAt - lastAxleLeft, tTrEnd + 1000);
        EXPECT_EQ(main->LIEtr()->Val(), number);
        expectListed(passage.truth, passage.truth.size());
        return passage;
    }

    // The train list holds the first `vehicles` of the truth in the order they passed, the
    // locomotive marked, each weighed within accuracy.
    void expectListed(const std::vector<TruthRow>& truth, std::size_t vehicles) {
        const QAbstractItemModel* grid = main->controls().DBG1->model();
        ASSERT_EQ(grid->rowCount(), static_cast<int>(vehicles));
        const int noteColumn = zv::test::trainListColumn(*main, "Note1");
        for (std::size_t i = 0; i < vehicles; ++i) {
            SCOPED_TRACE(i);
            const Row& row = main->records().DSouT().rowAt(static_cast<int>(i));
            const bool locomotive = truth[i].kind == zv::VehicleKind::Locomotive;
            EXPECT_NEAR(row.toInt("Weight"), truth[i].mass, accuracy(main->settings()));
            EXPECT_EQ(row.toInt("Axle"), truth[i].axles);
            EXPECT_EQ(row.toInt("Note"), locomotive ? 3 : 1);
            EXPECT_EQ(grid->index(static_cast<int>(i), noteColumn).data().toString(),
                      locomotive ? "Локомотив" : "");
        }
    }

    QMap<QString, Row> bookRows() {
        QMap<QString, Row> rows;
        for (const Row& row : main->records().Book().readFilteredRows())
            rows.insert(row.value("Wagon").toString(), row);
        return rows;
    }

    QMap<QString, QStringList> bookFiguresByWagon() {
        QMap<QString, QStringList> figures;
        for (const Row& row : bookRows())
            figures.insert(row.value("Wagon").toString(), bookFigures(row));
        return figures;
    }

    // Each wagon in the book: gross from the way in, tare from the way out, imported, both
    // operators and both trains.
    void expectBook(const Passage& in, const Passage& out) {
        const QMap<QString, Row> book = bookRows();
        ASSERT_EQ(book.size(), 4);
        const double within = accuracy(main->settings());
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(kWagons[i].number);
            ASSERT_TRUE(book.contains(kWagons[i].number));
            const Row& row = book[kWagons[i].number];
            const double gross = in.truth[static_cast<std::size_t>(i) + 1].mass;
            const double tare = out.truth[static_cast<std::size_t>(3 - i)].mass;
            EXPECT_NEAR(row.toInt("Brut"), gross, within);
            EXPECT_NEAR(row.toInt("Tare"), tare, within);
            EXPECT_NEAR(row.toInt("Nett"), gross - tare, 2 * within);
            EXPECT_EQ(row.toInt("Nett"), row.toInt("Brut") - row.toInt("Tare"));
            EXPECT_EQ(
                bookFigures(row).mid(3, 9),
                (QStringList{"0", QString::number(kLoad), "1", "1", "D-123",
                             QString::number(kOperatorA), QString::number(kOperatorB), "1", "2"}));
            EXPECT_LT(row.value("Time1").toDateTime(), row.value("Time2").toDateTime());
        }
    }

    // The report saved as PDF and as text lists every wagon with its weights and operators.
    void expectBookReport() {
        const QString pdf = app.folder() + "book.pdf";
        const QString text = app.folder() + "book.txt";
        zv::test::saveBookReport(*main, pdf, text);
        EXPECT_TRUE(readFile(pdf).startsWith("%PDF-"));
        const QString report = readFile(text);
        const QString pdfText = textOfPdf(pdf);
        for (const Row& row : bookRows()) {
            const QString wagon = row.value("Wagon").toString();
            const QRegularExpression weighings(
                QString("^%1 +%2 Динамика +%3 Динамика +%4 .* Иванов ")
                    .arg(wagon, row.value("Brut").toString(), row.value("Tare").toString(),
                         row.value("Nett").toString()),
                QRegularExpression::MultilineOption);
            EXPECT_TRUE(weighings.match(report).hasMatch()) << wagon.toStdString();
            EXPECT_TRUE(pdfText.isNull() || pdfText.contains(wagon)) << wagon.toStdString();
        }
        EXPECT_EQ(report.count("Петров"), 4);
    }

    // The text of a PDF by the poppler tools where they are installed; null without them.
    static QString textOfPdf(const QString& pdf) {
        const QString tool = QStandardPaths::findExecutable("pdftotext");
        if (tool.isEmpty()) return {};
        QProcess process;
        process.start(tool, {pdf, "-"});
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // Half the train crosses, then `loseLine`; tTrEnd and a tick later the train has ended
    // with the vehicles weighed before, as train 1.
    void loseTheLineMidTrain(const std::function<void()>& loseLine) {
        const Passage in = zv::test::simulatePassage(scale(), comingIn());
        line.playFrames(in, static_cast<std::size_t>(in.frames / 2));
        ASSERT_TRUE(main->engine().trainInProgress());
        loseLine();
        line.silence(static_cast<uint32_t>(main->settings().tTrEnd) + ConverterLine::kTickMs);
        EXPECT_FALSE(main->engine().trainInProgress());
        EXPECT_EQ(main->LIEtr()->Val(), 1);
        const int weighed = main->controls().DBG1->model()->rowCount();
        EXPECT_GE(weighed, 2);
        EXPECT_LT(weighed, 5);
        expectListed(in.truth, static_cast<std::size_t>(weighed));
    }

    AppFixture app;
    ConverterLine line{app};
    TMain* main = nullptr;
};

// The operator's whole road, on a clean line and on one that spoils 3 % of the frames: the
// spoiled frames are counted on the calibration page and change no weight.
class WholeRoad : public Road, public ::testing::WithParamInterface<double> {};

TEST_P(WholeRoad, WagonsComeInLoadedLeaveEmptyAndReachTheBookItsReportAndARestart) {
    const double spoiled = GetParam();
    startUp();
    zv::test::changeShift(*main, kOperatorA, kCodeA);
    const Passage in = rollTrain(comingIn(), 1, spoiled);
    for (int i = 0; i < 4; ++i) zv::test::typeWagonNumber(*main, i + 1, kWagons[i].number);
    for (int i = 0; i < 4; ++i) zv::test::acceptWagon(*main, i + 1, kLoad);
    EXPECT_EQ(main->records().Wagons().recordCount(), 4);

    zv::test::changeShift(*main, kOperatorB, kCodeB);
    const Passage out = rollTrain(goingOut(), 2, spoiled);
    EXPECT_EQ(spoiled > 0, in.corrupted + out.corrupted > 0);
    EXPECT_EQ(zv::test::shownFrameErrors(*main), QString::number(in.corrupted + out.corrupted));
    for (int i = 0; i < 4; ++i) zv::test::typeWagonNumber(*main, i, kWagons[3 - i].number);
    for (int i = 0; i < 4; ++i) zv::test::releaseWagon(*main, i);
    EXPECT_TRUE(main->records().Wagons().isEmpty());
    expectBook(in, out);
    expectBookReport();
    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();

    const QMap<QString, QStringList> before = bookFiguresByWagon();
    main = &app.restart();
    EXPECT_TRUE(app.messages.texts().isEmpty()) << app.messages.texts().join('|').toStdString();
    EXPECT_EQ(main->LIEtr()->Val(), 2);
    const QAbstractItemModel* list = main->controls().DBG1->model();
    ASSERT_EQ(list->rowCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list->index(i, zv::test::trainListColumn(*main, "Wagon")).data().toString(),
                  kWagons[3 - i].number);
        EXPECT_EQ(list->index(i, zv::test::trainListColumn(*main, "Note1")).data().toString(),
                  "Обработан");
    }
    EXPECT_EQ(bookFiguresByWagon(), before);
}

INSTANTIATE_TEST_SUITE_P(Line, WholeRoad, ::testing::Values(0.0, 0.03),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return info.param > 0 ? std::string("SpoilingFrames")
                                                   : std::string("Clean");
                         });

// The converter falls silent with the train half across the scale: a second later the link
// is lost, told in one box, and the train ends with the wagons already weighed; once the
// converter speaks again the next train is weighed whole, with no further box.
TEST_F(Road, ConverterFallingSilentMidTrainIsOneLostLinkKeepingTheWagonsWeighed) {
    startUp();
    loseTheLineMidTrain([] {});
    const QStringList told{"Нет связи с весами: с порта " + QString::fromStdString(line.portName()) +
                           " не поступают данные"};
    EXPECT_EQ(app.messages.texts(), told);

    // The scale, still loaded when the line went quiet, is empty when it speaks again.
    zv::TrainDescription next = goingOut();
    next.emptySeconds = 2 * main->settings().tTrEnd / 1000;
    rollTrain(next, 2);
    EXPECT_EQ(app.messages.texts(), told);
}

// The converter's cable comes off in the middle of a train: one box says so, however many
// ticks follow, and the train still ends by its time-out.
TEST_F(Road, ConverterUnpluggedMidTrainIsReportedOnce) {
    startUp();
    loseTheLineMidTrain([this] { line.unplug(); });
    EXPECT_EQ(app.messages.texts(),
              QStringList{"Порт " + QString::fromStdString(line.portName()) + " не доступен"});
}

// A train stored and a wagon released through the windows, then a gross weight changed with
// SQL while the program is closed: the next start shows the finding and logs it, the book
// report prints it on its page, and the tool names the row and exits with 1.
TEST_F(Road, AWeightChangedBehindTheProgramsBackIsFoundAtTheNextStart) {
    startUp();
    zv::test::changeShift(*main, kOperatorA, kCodeA);
    rollTrain(comingIn(), 1);
    zv::test::typeWagonNumber(*main, 1, kWagons[0].number);
    zv::test::acceptWagon(*main, 1, kLoad);
    zv::test::changeShift(*main, kOperatorB, kCodeB);
    rollTrain(goingOut(), 2);
    zv::test::typeWagonNumber(*main, 3, kWagons[0].number);
    zv::test::releaseWagon(*main, 3);
    ASSERT_EQ(main->records().Book().recordCount(), 1);
    const QString folder = main->records().connection().folder();
    const QString bookFile = main->records().Book().fileName();
    app.stop();

    {
        zv::SqliteFile book;
        book.open(QDir(folder).filePath(bookFile), false);
        book.exec("UPDATE Book SET Brut=Brut+500 WHERE N=1");
    }
    app.messages.clear();
    main = &app.start();
    const QString finding = "Книга " + bookFile.chopped(3) + ": изменена запись 1";
    EXPECT_TRUE(app.messages.texts().join('|').contains(finding)) << app.messages.texts().join('|').toStdString();

    zv::RecordsIntegrity& integrity = *zv::Events::installed();
    integrity.collect();
    const QList<zv::Event> findings = integrity.log().read({{}, {}, zv::event_kind::IntegrityFinding});
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].newValue, finding);
    const QString wagon = QString("Вагон ") + kWagons[0].number;
    const QList<zv::Event> stored = integrity.log().read({{}, {}, zv::event_kind::TrainStored});
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[1].subject, "Состав 2");
    const QList<zv::Event> accepted = integrity.log().read({{}, {}, zv::event_kind::WagonAccepted});
    ASSERT_EQ(accepted.size(), 1);
    EXPECT_EQ(accepted[0].subject, wagon);
    EXPECT_EQ(accepted[0].operatorName, "Иванов");
    const QList<zv::Event> released = integrity.log().read({{}, {}, zv::event_kind::WagonReleased});
    ASSERT_EQ(released.size(), 1);
    EXPECT_EQ(released[0].subject, wagon);
    EXPECT_TRUE(released[0].newValue.startsWith("состав 2, запись книги 1, брутто ")) << released[0].newValue.toStdString();
    EXPECT_EQ(released[0].operatorName, "Петров");

    const QString text = app.folder() + "book.txt";
    zv::test::saveBookReport(*main, app.folder() + "book.pdf", text);
    const QString report = readFile(text);
    EXPECT_TRUE(report.contains("Внимание! " + finding)) << report.toStdString();
    EXPECT_TRUE(report.contains("ZOLVelt ")) << report.toStdString();

    QProcess tool;
    tool.start(ZOLVELT_TOOL_PATH, {"check-records", "--db", folder});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardOutput()).contains(finding));
}

}  // namespace
