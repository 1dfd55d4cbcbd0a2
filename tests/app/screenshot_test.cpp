// Pictures of the main window for a person to look at, not part of the suite: run with
//   ZOLVELT_SHOTS=/some/folder app_tests --gtest_also_run_disabled_tests --gtest_filter='*Shot*'
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProcess>
#include <QTimer>
#include <QToolButton>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "admin/setup_w.h"
#include "admin/shift_s.h"
#include "app/app_fixture.h"
#include "app/help_window.h"
#include "integrity/events.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "reports/report_commands.h"
#include "reports/report_document.h"
#include "support/operator_input.h"
#include "ui/message_service.h"
#include "ui/modal.h"

namespace {

void save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    widget->grab().save(qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/" + name);
}

TEST(Shots, DISABLED_MainWindowWithAStoredTrainAndTheMenus) {
    zv::test::AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Params = zv::params::ShowGravityOffsets | zv::params::ShowRawDataPanel |
                   zv::params::ShowDebugColumns;
    });
    main.show();
    zv::test::writeTrainFile(main.settings(), 5, (app.folder() + "w401.dat").toStdString());
    main.controls().SBut11->click();
    main.Timer1Timer();
    save(&main, "main_stored_train.png");

    const auto samples = zv::test::trainSamples(main.settings(), 2);
    for (std::size_t i = 0; i < samples.size() * 2 / 5; ++i)
        main.engine().feed(samples[i], app.clock);
    save(&main, "main_train_passing.png");

    for (QAction* action : main.menuBar()->actions()) {
        QMenu* menu = action->menu();
        menu->popup(main.mapToGlobal(QPoint(0, 0)));
        save(menu, "menu_" + QString::number(main.menuBar()->actions().indexOf(action)) + ".png");
        menu->hide();
    }
}

// The link lost with a train stored before: "Нет связи" instead of the weights, the status bar
// saying since when, and the line beside "Подключить" in the scale settings.
TEST(Shots, DISABLED_MainWindowWithTheLinkLost) {
    zv::test::AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Params = zv::params::ShowRawDataPanel;
        s.Port = "/dev/ttyUSB0";
        s.Connect = true;
    });
    main.show();
    zv::test::writeTrainFile(main.settings(), 5, (app.folder() + "w401.dat").toStdString());
    main.controls().LE1->setText("w401.dat");
    main.controls().SBut11->click();
    for (int i = 0; i < 3; ++i, app.clock += 1000) main.Timer1Timer();
    save(&main, "main-link-lost.png");
    zv::ModalScript script;
    script.then([&](QDialog& d) {
        save(&d, "setup-link-lost.png");
        static_cast<TSetupW&>(d).setCurrentPage(TSetupW::Calibration);
        main.Timer1Timer();
        save(&d, "calibration-link-lost.png");
    });
    script.then([](QDialog& prompt) {
        prompt.findChild<QLineEdit*>("Password")->setText(TSetupW::AccessCode);
        prompt.accept();
    });
    main.menu().Scales[0]->trigger();
}

// A real screen picture (run under an X server, QT_QPA_PLATFORM=xcb): the shift window after a
// wrong code, with the program's own message box over it.
TEST(Shots, DISABLED_ShiftWindowAfterAWrongCode) {
    zv::test::AppFixture app;
    TMain& main = app.start();
    main.records().Names().insertValues({{"N", 1}, {"Name", "Иванов И.И."}, {"Pass", "Ab1"}});
    main.show();
    zv::MessageResponder* scripted = zv::Messages::setResponder(nullptr);
    zv::ModalScript script;
    script.then([](QDialog& d) {
        d.move(320, 260);  // without a window manager it would cover the main window's corner
        static_cast<TShiftS&>(d).chooseOperator(1);
        zv::test::typeInto(d.findChild<QWidget*>("E1"), "ab1");
        QTimer::singleShot(800, [&d] {
            QWidget* box = QApplication::activeModalWidget();
            if (box) box->move(d.x() + 40, d.y() + d.height() + 12);  // beside, not over it
            QTimer::singleShot(400, [box] {
                QProcess::execute("import", {"-window", "root", "-crop", "720x520+0+0",
                                             qEnvironmentVariable("ZOLVELT_SHOTS", ".") +
                                                 "/shift-wrong-code.png"});
                if (box) box->close();
            });
        });
        zv::test::click(d.findChild<QWidget*>("Button1"));
    });
    main.ShiftSet();
    zv::Messages::setResponder(scripted);
}

// The about box, the calibration page, the event log and a page of the book report with the
// identification and the warning of a book changed behind the program's back.
TEST(Shots, DISABLED_RecordsIntegrityWindowsAndABookReportPage) {
    zv::test::AppFixture app;
    TMain& first = app.start();
    first.records().Book().insertValues({{"Wagon", "52011234"}, {"Brut", 84120}, {"Tare", 23410}, {"Train1", 1}, {"Train2", 2}});
    const QString folder = first.records().connection().folder();
    const QString book = first.records().Book().fileName();
    app.stop();
    {
        zv::SqliteFile file;
        file.open(QDir(folder).filePath(book), false);
        file.exec("UPDATE Book SET Brut=85120 WHERE N=1");
    }
    TMain& main = app.start();
    main.show();

    zv::ModalScript about;
    about.then([](QDialog& d) { save(&d, "about.png"); });
    main.menu().About->trigger();

    zv::ModalScript calibration;
    calibration.then([](QDialog& setup) {
        QApplication::processEvents();  // the page asks for the access code once shown
        save(&setup, "calibration_page.png");
        EXPECT_EQ(setup.findChild<QLabel*>("CalibCount")->text(), "Счетчик калибровок: 0");
    });
    calibration.then([](QDialog& code) {
        code.findChild<QLineEdit*>()->setText(TSetupW::AccessCode);
        code.accept();
    });
    main.menu().Scales[2]->trigger();

    zv::ModalScript log;
    log.then([](QDialog& d) { save(&d, "event_log.png"); });
    main.menu().EventLog->trigger();

    zv::ModalScript code;
    code.then([](QDialog& d) {
        d.findChild<QLineEdit*>("OldCode")->setText(TSetupW::AccessCode);
        save(&d, "access_code.png");
    });
    main.menu().AccessCode->trigger();

    std::optional<zv::ReportDocument> document;
    zv::setReportViewer([&](zv::ReportDocument d, QWidget*) { document = std::move(d); });
    zv::previewBookReport(main.records().Book(), main.layouts(), &main);
    zv::setReportViewer({});
    ASSERT_TRUE(document.has_value());
    const double pixelsPerMm = 4;
    const QSizeF page = document->pageSizeMm() * pixelsPerMm;
    QImage image(page.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document->paintPage(painter, 0, pixelsPerMm);
    painter.end();
    image.save(qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/book_report_page.png");
}

TEST(Shots, DISABLED_TheHelpPageOnTheEventLogAndTheRecordsCheck) {
    zv::test::AppFixture app;
    QDir().mkpath(app.folder() + "help");
    for (const QString& page : QDir(ZOLVELT_HELP_SOURCE).entryList(QDir::Files))
        QFile::copy(QDir(ZOLVELT_HELP_SOURCE).filePath(page), app.folder() + "help/" + page);
    TMain& main = app.create();
    main.show();
    zv::test::chooseMenu(main.menuBar(), {"&Справка", "Журнал событий и проверка записей"});
    main.helpWindow()->resize(900, 1400);
    save(main.helpWindow(), "help_records.png");
}

}  // namespace
