// The event log, the seals and the identification as the operator and the engineer meet them:
// the status bar, the about box, the calibration page, the log window and the records check.
#include <gtest/gtest.h>

#include <functional>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include "admin/setup_w.h"
#include "app/app_fixture.h"
#include "app/about.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity/calibration_seal.h"
#include "integrity/records_integrity.h"
#include "integrity_ui/event_log_window.h"
#include "records/sql_statement.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "reports/report_commands.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "support/calibration_by_hand.h"
#include "support/operator_input.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;

QString text(QWidget& window, const char* name) { return window.findChild<QLabel*>(name)->text(); }

void clickOn(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// The program stores a row of train 1 and ends; `statement` is run on Trains.db behind its back
// and the program starts again, its messages recorded from there.
TMain& startAfterChangeBehindTheProgram(AppFixture& app, const QString& statement) {
    TMain& main = app.start();
    main.records().Trains().insertRecord({1, QDateTime(QDate(2026, 12, 9), QTime(10, 0)), "52011234", 60000, 0, 0, 0, 0, 1});
    const QString trainsFile = QDir(main.records().connection().folder()).filePath("Trains.db");
    app.stop();
    {
        zv::SqliteFile file;
        file.open(trainsFile, false);
        file.exec(statement);
    }
    app.messages.clear();
    return app.start();
}

void expectToldLast(AppFixture& app, const QString& finding) {
    ASSERT_FALSE(app.messages.texts().isEmpty());
    EXPECT_TRUE(app.messages.texts().last().contains(finding)) << app.messages.texts().last().toStdString();
}

// A step of a modal script: the engineer types the access code into the code window and presses Enter.
std::function<void(QDialog&)> typeCode(const QString& code) {
    return [code](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        clickOn(edit);
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

QStringList pageTexts(const zv::ReportDocument& document, int page = 0) {
    QStringList texts;
    for (const zv::DrawItem& item : document.pages[page].items) texts.append(item.text);
    return texts;
}

// Captures the report the program would preview.
struct CapturedReport {
    std::optional<zv::ReportDocument> document;
    CapturedReport() {
        zv::setReportViewer([this](zv::ReportDocument d, QWidget*) { document = std::move(d); });
    }
    ~CapturedReport() { zv::setReportViewer({}); }
};

TEST(RecordsIntegrity, TheIdentificationStandsInTheStatusBarAndTheAboutBoxWithTheCounters) {
    AppFixture app;
    TMain& main = app.start();
    const QString ident = main.findChild<QLabel*>("SBIdent")->text();
    EXPECT_TRUE(ident.contains(QRegularExpression("^ZOLVelt [0-9.]+ · [0-9a-f]{8} · калибровка № 0$"))) << ident.toStdString();

    QString shownIdent, events, calibration;
    zv::ModalScript script;
    script.then([&](QDialog& about) {
        shownIdent = text(about, "Ident");
        events = text(about, "EventCount");
        calibration = text(about, "CalibCount");
        clickOn(about.findChild<QPushButton*>("OKButton"));
    });
    main.menu().About->trigger();
    EXPECT_TRUE(ident.startsWith(shownIdent)) << shownIdent.toStdString();
    const qint64 count = zv::Events::installed()->log().count();
    EXPECT_GT(count, 0);
    EXPECT_EQ(events, QString("Событий в журнале: %1").arg(count));
    EXPECT_EQ(calibration, "Счетчик калибровок: 0");
}

TEST(RecordsIntegrity, TheLogWindowFiltersByKindAndPrintsWhatItShows) {
    AppFixture app;
    TMain& main = app.start();
    zv::Events::record(zv::event_kind::ShiftChange, "Иванов");
    zv::Events::record(zv::event_kind::ShiftChange, "Петров");

    CapturedReport report;
    int listed = -1;
    QStringList kinds;
    zv::ModalScript script;
    script.then([&](QDialog& window) {
        auto* box = window.findChild<QComboBox*>("KindBox");
        clickOn(box);
        // The popup lists the kinds; the operator goes down to "Смена оператора" and takes it.
        const int wanted = box->findText(zv::event_kind::ShiftChange);
        for (int i = box->currentIndex(); i < wanted; ++i) QTest::keyClick(box->view(), Qt::Key_Down);
        QTest::keyClick(box->view(), Qt::Key_Return);
        auto* grid = window.findChild<QTableView*>("Grid");
        listed = grid->model()->rowCount();
        for (int row = 0; row < listed; ++row) kinds.append(grid->model()->index(row, 3).data().toString());
        EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        clickOn(window.findChild<QPushButton*>("PrintButton"));
        clickOn(window.findChild<QPushButton*>("CloseButton"));
    });
    main.menu().EventLog->trigger();
    ASSERT_EQ(script.shown(), QStringList{"EventLog"});
    // The start-up signed in operator 0 as well.
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(kinds, QStringList(3, zv::event_kind::ShiftChange));
    ASSERT_TRUE(report.document.has_value());
    EXPECT_EQ(report.document->title, "Журнал событий");
    const QStringList printed = pageTexts(*report.document);
    EXPECT_TRUE(printed.contains("Петров"));
    EXPECT_EQ(printed.count(zv::event_kind::ShiftChange), 3);
}

// A weight changed behind the program's back: the engineer sees it on demand, a wrong code
// acknowledges nothing and is logged, the right one acknowledges it and the reports lose the line.
TEST(RecordsIntegrity, TheCheckOnDemandIsAcknowledgedOnlyWithTheAccessCode) {
    AppFixture app;
    TMain& again = startAfterChangeBehindTheProgram(app, "UPDATE Trains SET Weight=61000");
    const QString finding = "Таблица Trains: изменена запись 1";
    expectToldLast(app, finding);
    EXPECT_TRUE(again.layouts().trainsReport().pageStamp.contains("Внимание! " + finding));

    for (const QString& code : {QString("wrong"), QString(TSetupW::AccessCode)}) {
        app.messages.clear();
        app.messages.answerYes();
        zv::ModalScript script;
        script.then(typeCode(code));
        again.menu().CheckRecords->trigger();
        EXPECT_TRUE(app.messages.texts().value(0).contains(finding));
    }
    zv::RecordsIntegrity& integrity = *zv::Events::installed();
    EXPECT_EQ(integrity.log().countOf(zv::event_kind::WrongAccessCode), 1);
    EXPECT_EQ(integrity.log().countOf(zv::event_kind::FindingAcknowledged), 1);
    EXPECT_TRUE(integrity.outstanding().isEmpty());
    EXPECT_FALSE(again.layouts().trainsReport().pageStamp.join('|').contains("Внимание!"));
    EXPECT_EQ(again.records().Trains().recordCount(), 1);  // nothing refused, nothing lost
}

// A book of an earlier month (here a copy of this month's, which the program then knows) removed
// between two runs is named at start-up and on demand.
TEST(RecordsIntegrity, ABookRemovedBetweenTwoRunsIsNamedAtStartUpAndOnDemand) {
    AppFixture app;
    TMain& main = app.start();
    main.records().Book().insertValues({{"Wagon", "52011234"}, {"Brut", 84120}, {"Tare", 23410}});
    const QString folder = main.records().connection().folder();
    const QString book = QDir(folder).filePath(main.records().Book().fileName());
    app.stop();
    const QString earlier = QDir(folder).filePath("Book[11.2000].db");
    ASSERT_TRUE(QFile::copy(book, earlier));
    app.start();
    app.stop();
    ASSERT_TRUE(QFile::remove(earlier));

    app.messages.clear();
    TMain& again = app.start();
    const QString finding = "Книга Book[11.2000]: файл удален";
    ASSERT_FALSE(app.messages.texts().isEmpty());
    EXPECT_TRUE(app.messages.texts().last().contains(finding)) << app.messages.texts().last().toStdString();
    app.messages.clear();
    app.messages.answerNo();
    again.show();
    zv::test::chooseMenu(again.menuBar(), {"Базы данных", "Проверить целостность записей"});
    EXPECT_TRUE(app.messages.texts().value(0).contains(finding)) << app.messages.texts().value(0).toStdString();
    EXPECT_EQ(zv::Events::installed()->log().countOf(zv::event_kind::IntegrityFinding), 1);
}

// The start-up is in the log file while the shift window waits for the operator: a program
// killed there has told that it started.
TEST(RecordsIntegrity, TheStartUpIsInTheLogFileBeforeTheShiftWindowIsShown) {
    AppFixture app;
    app.start();
    app.stop();  // the second run: no table is made to carry the start-up into the log with it
    TMain& main = app.create();
    int inFile = -1;
    zv::ModalScript script;
    script.then([&](QDialog& shift) {
        zv::SqliteFile log;  // read as someone would after a kill: from the file, not through the program
        log.open(app.folder() + "DB/Events.db", false);
        zv::SqlStatement count = log.prepare("SELECT count(*) FROM Events WHERE Kind=?");
        count.bind(1, zv::event_kind::StartUp);
        count.step();
        inFile = static_cast<int>(count.columnInt64(0));
        zv::test::chooseOperator(shift, 0);
    });
    main.Prepare();
    ASSERT_EQ(script.shown(), QStringList{"ShiftS"});
    EXPECT_EQ(inFile, 2);
}

// Trains with its seals dropped behind the program's back: the engineer seals it from the menu
// with the access code; a wrong code seals nothing.
TEST(RecordsIntegrity, TheEngineerSealsATableWithoutSealsFromTheMenuWithTheAccessCode) {
    AppFixture app;
    TMain& again = startAfterChangeBehindTheProgram(app, "DROP TABLE zv_seal");
    const QString finding = "Таблица Trains: печати удалены";
    expectToldLast(app, finding);
    again.show();
    for (const QString& code : {QString("wrong"), QString(TSetupW::AccessCode)}) {
        app.messages.clear();
        app.messages.answerYes();
        zv::ModalScript script;
        script.then(typeCode(code));
        zv::test::chooseMenu(again.menuBar(), {"Базы данных", "Опечатать таблицы"});
        EXPECT_TRUE(app.messages.texts().value(0).contains("Таблица Trains")) << app.messages.texts().join('|').toStdString();
    }
    EXPECT_TRUE(app.messages.texts().last().contains("Таблица Trains: опечатано записей: 1"))
        << app.messages.texts().join('|').toStdString();
    zv::RecordsIntegrity& integrity = *zv::Events::installed();
    EXPECT_EQ(integrity.log().countOf(zv::event_kind::WrongAccessCode), 1);
    EXPECT_EQ(integrity.log().countOf(zv::event_kind::TableSealed), 1);
    EXPECT_TRUE(integrity.check().isEmpty());
    EXPECT_TRUE(integrity.outstanding().isEmpty());
    EXPECT_FALSE(again.layouts().trainsReport().pageStamp.join('|').contains("Внимание!"));
}

// A settings file without its section "Common" runs on the defaults of its keys: the engineer's
// save of the connection page, changing nothing, writes them and logs no change.
TEST(SettingsLog, ASaveOfTheConnectionPageThatChangesNothingLogsNoChange) {
    AppFixture app;
    {
        QFile file(app.folder() + "ZOLVelt.ini");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray kept;
        bool common = false;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith('[')) common = line.startsWith("[Common]");
            if (!common) kept += line + '\n';
        }
        file.close();
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(kept);
    }
    TMain& main = app.start();
    const qint64 before = zv::Events::installed()->log().countOf(zv::event_kind::SettingChanged);
    zv::ModalScript script;
    app.messages.answerYes();  // to saving despite the verdict on the test scale
    script.then([](QDialog& setup) { zv::test::press(&setup, "But1"); });
    main.menu().Scales[0]->trigger();
    EXPECT_EQ(script.shown(), QStringList{"SetupW"});
    QFile file(app.folder() + "ZOLVelt.ini");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains("Vmax=")) << "the save wrote every key: " << saved.toStdString() << app.messages.texts().join("|").toStdString();
    zv::Events::installed()->collect();
    EXPECT_EQ(zv::Events::installed()->log().countOf(zv::event_kind::SettingChanged), before);
}

const QString kCoefficientEdited = "Калибровка изменена в обход программы: ak[0] 2000000 → 1900000";

QString identification(TMain& main) { return main.findChild<QLabel*>("SBIdent")->text(); }

// A coefficient written into the settings file by hand between two runs: the start-up names it,
// every report carries it once, and the calibration counter moves on, once.
TEST(RecordsIntegrity, ACalibrationEditedByHandIsToldAtStartUpOnEveryReportAndCounted) {
    AppFixture app;
    app.start();
    app.stop();
    zv::test::setCoefficientByHand((app.folder() + "ZOLVelt.ini").toStdString(), 0, 1900000);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        app.messages.clear();
        TMain& main = app.start();
        ASSERT_FALSE(app.messages.texts().isEmpty());
        EXPECT_TRUE(app.messages.texts().last().contains(kCoefficientEdited)) << app.messages.texts().last().toStdString();
        const zv::ReportLayouts& layouts = main.layouts();
        for (const zv::ReportLayout* report : {&layouts.bookReport(), &layouts.trainsReport(), &layouts.waybill()})
            EXPECT_EQ(report->pageStamp.count("Внимание! " + kCoefficientEdited), 1) << report->pageStamp.join('|').toStdString();
        EXPECT_TRUE(identification(main).contains(QRegularExpression("калибровка № 1 от [0-9.]+$"))) << identification(main).toStdString();
        app.stop();
    }
}

// The engineer's save from the scale settings window seals what it saved and is no finding; a
// coefficient written by hand while the program ran is told all the same, never sealed silently.
TEST(RecordsIntegrity, TheEngineersSaveIsSealedAndDoesNotHideAnEditMadeBeforeIt) {
    AppFixture app;
    TMain& main = app.start();
    auto chooseAxleLoads = [](QDialog& setup) {
        auto* method = setup.findChild<QComboBox*>("CBox23");
        clickOn(method);
        QTest::keyClick(method->view(), Qt::Key_Down);
        QTest::keyClick(method->view(), Qt::Key_Return);
        zv::test::press(&setup, "But1");
    };
    app.messages.answerYes();  // to saving despite the verdict on the test scale
    zv::ModalScript script;
    script.then(chooseAxleLoads);
    main.menu().Scales[1]->trigger();
    ASSERT_EQ(script.shown(), QStringList{"SetupW"});
    zv::RecordsIntegrity& integrity = *zv::Events::installed();
    integrity.check();
    EXPECT_TRUE(integrity.outstanding().isEmpty()) << integrity.outstanding().join('|').toStdString();
    const zv::SealPaths paths = zv::sealPathsBeside(app.folder() + "ZOLVelt.ini");
    const zv::CalibrationSeal seal = zv::readCalibrationSeal(paths.calibration, zv::loadSealKey(paths.key));
    EXPECT_TRUE(seal.values.contains(zv::SealedValue{"WeighMethod", "1"}));

    zv::test::setCoefficientByHand((app.folder() + "ZOLVelt.ini").toStdString(), 0, 1900000);
    script.then([](QDialog& setup) { zv::test::press(&setup, "But1"); });
    main.menu().Scales[1]->trigger();
    EXPECT_EQ(integrity.outstanding(), QStringList{kCoefficientEdited});
    app.stop();
    app.messages.clear();
    app.start();
    EXPECT_TRUE(app.messages.texts().join('|').contains(kCoefficientEdited));
}

}  // namespace
