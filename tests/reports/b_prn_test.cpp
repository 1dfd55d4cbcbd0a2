#include "reports/b_prn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimeEdit>

#include "records/records_fixture.h"
#include "records/database.h"
#include "records/schema.h"
#include "reports/operator_input.h"
#include "reports/report_commands.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
#include "ui/modal.h"
#include "ui/scripted_messages.h"
#include "ui/tlie_edit.h"

namespace zv {
namespace {

const QDateTime kReleased(QDate(2026, 12, 3), QTime(10, 15));

bool sameFolder(const QString& a, const QString& b) {
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

class BookReportWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        records.Names().insertValues({{"N", 3}, {"Name", QStringLiteral("Сидоров С.С.")}});
        addRelease("1", kReleased, 1, 2, 5);
        addRelease("2", kReleased.addSecs(60), 3, 2, 12);
        addRelease("3", kReleased.addSecs(120), 1, 3, 6);
        setReportViewer([this](ReportDocument doc, QWidget*) {
            shown.push_back(std::move(doc));
            enabledWhileShown = window.isEnabled();
        });
    }
    void TearDown() override { setReportViewer({}); }

    void addRelease(const char* wagon, const QDateTime& time2, int name1, int name2, int train) {
        records.Book().insertValues({{"Wagon", QString::fromLatin1(wagon)},
                                     {"Time1", time2.addSecs(-3600)},
                                     {"Time2", time2},
                                     {"Brut", 80000},
                                     {"Tare", 24000},
                                     {"Name1", name1},
                                     {"Name2", name2},
                                     {"Train1", train},
                                     {"Train2", train + 1}});
    }

    template <typename T>
    T* child(const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    QString count() { return child<QLabel>("Label1")->text(); }
    void check(const char* name, bool on = true) { child<QCheckBox>(name)->setChecked(on); }

    test::RecordsFixture fixture;
    RecordsDatabase& records = fixture.open();
    ReportLayouts layouts;
    TBPrn window{records, layouts};
    std::vector<ReportDocument> shown;
    bool enabledWhileShown = true;
    ScriptedMessages messages;
};

TEST_F(BookReportWindow, ShowsTheBookAndCountsEveryRowWithoutFilters) {
    window.show();
    EXPECT_EQ(count(), QStringLiteral("3"));
    EXPECT_TRUE(records.Book().filtered());
    EXPECT_EQ(records.Book().filter(), QString());
    EXPECT_EQ(layouts.bookReport().labelText("QRLb2"), QString());
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(),
              QDir(fixture.dbDir()).filePath(records.Book().fileName()));
    // Left to us: the first showing spans this month up to the end of today.
    EXPECT_EQ(child<QDateEdit>("DTP1")->date(), QDate(2026, 12, 1));
    EXPECT_EQ(child<QTimeEdit>("DTP2")->time(), QTime(0, 0));
    EXPECT_EQ(child<QDateEdit>("DTP3")->date(), QDate(2026, 12, 9));
    EXPECT_EQ(child<QTimeEdit>("DTP4")->time(), QTime(23, 59));
    window.reject();
    EXPECT_FALSE(records.Book().filtered());
}

TEST_F(BookReportWindow, FiltersByOperatorTrainAndStrictReleaseTimes) {
    window.show();
    auto* operators = child<QComboBox>("LCBox5");
    operators->setCurrentIndex(operators->findData(3));
    check("CheckBox7");
    EXPECT_EQ(records.Book().filter(), QStringLiteral("((Name2=3)or(Name1=3))"));
    EXPECT_EQ(count(), QStringLiteral("2"));
    EXPECT_EQ(layouts.bookReport().labelText("QRLb2"),
              QStringLiteral("Фильтр:  оператор - Сидоров С.С."));
    check("CheckBox7", false);

    child<TLIEdit>("LIE9")->setVal(12);
    check("CheckBox9");
    EXPECT_EQ(records.Book().filter(), QStringLiteral("(Train1=12 or Train2=12)"));
    EXPECT_EQ(count(), QStringLiteral("1"));
    check("CheckBox9", false);

    // "с" is a strict bound: the row released at exactly that minute is left out.
    child<QDateEdit>("DTP1")->setDate(kReleased.date());
    child<QTimeEdit>("DTP2")->setTime(kReleased.time());
    check("CheckBox1");
    EXPECT_EQ(records.Book().filter(), QStringLiteral("Time2>'03.12.2026 10:15'"));
    EXPECT_EQ(count(), QStringLiteral("2"));
    child<QDateEdit>("DTP3")->setDate(kReleased.date());
    child<QTimeEdit>("DTP4")->setTime(kReleased.time().addSecs(120));
    check("CheckBox2");
    EXPECT_EQ(count(), QStringLiteral("1"));
    EXPECT_EQ(layouts.bookReport().labelText("QRLb2"), QString());
}

TEST_F(BookReportWindow, PreviewsTheFilteredBookWhileDisabled) {
    window.show();
    check("CheckBox4");  // "Ввоз": no row has a direction
    child<QComboBox>("CBox2")->setCurrentIndex(0);
    check("CheckBox4", false);
    child<TLIEdit>("LIE9")->setVal(5);
    check("CheckBox9");
    child<QPushButton>("But3")->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(test::textsOf(shown[0], "QRDBText1"), QStringList{"1"});
    EXPECT_EQ(test::textsOf(shown[0], "QRLb2"), QStringList{QStringLiteral("Фильтр:  состав - 5")});
}

TEST_F(BookReportWindow, AnotherFolderIsLeftForTheOldOneOnClosing) {
    // A book of another month in a folder of its own.
    const QString other = QDir(fixture.programDir).filePath("Other");
    QDir().mkdir(other);
    QFile::copy(QDir(fixture.programDir).filePath("b.ttb"),
                QDir(other).filePath("Book[11.2026].db"));
    const QString oldBook = records.Book().fileName();
    window.setBookChooser(
        [&](QWidget*, const QString&) { return QDir(other).filePath("Book[11.2026].db"); });
    window.show();
    child<QPushButton>("But1")->click();
    EXPECT_EQ(records.connection().folder(), other);
    EXPECT_TRUE(records.Book().isOpen());
    EXPECT_FALSE(records.Trains().isOpen());
    EXPECT_EQ(count(), QStringLiteral("0"));

    window.reject();
    EXPECT_TRUE(sameFolder(records.connection().folder(), fixture.dbDir()));
    EXPECT_EQ(records.Book().fileName(), oldBook);
    for (Table* t : {&records.Trains(), &records.Wagons(), &records.Book(), &records.Names(),
                     &records.Loads(), &records.Stations(), &records.Clients(), &records.BasesW()})
        EXPECT_TRUE(t->isOpen()) << t->def().name.toStdString();
    EXPECT_EQ(records.Book().recordCount(), 3);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
}

TEST_F(BookReportWindow, ChoosingTheSameBookAgainChangesNothing) {
    const QString current = QDir(fixture.dbDir()).filePath(records.Book().fileName());
    window.setBookChooser([&](QWidget*, const QString&) { return current; });
    window.show();
    check("CheckBox9");
    const QString filter = records.Book().filter();
    int changes = 0;
    QObject watch;
    QObject::connect(&records.Book(), &Table::rowsChanged, &watch, [&] { ++changes; });
    child<QPushButton>("But1")->click();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(records.Book().filter(), filter);
    EXPECT_TRUE(child<QGroupBox>("GroupBox1")->isEnabled());
}

TEST_F(BookReportWindow, ABookThatDoesNotOpenLeavesTheFiltersOffUntilTheCurrentOneReturns) {
    const QString broken = QDir(fixture.dbDir()).filePath("Book[01.2020].db");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a table");
    file.close();
    window.setBookChooser([&](QWidget*, const QString&) { return broken; });
    window.show();
    child<QPushButton>("But1")->click();
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_FALSE(child<QGroupBox>("GroupBox1")->isEnabled());
    EXPECT_TRUE(child<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());

    child<QPushButton>("But2")->click();
    EXPECT_TRUE(child<QGroupBox>("GroupBox1")->isEnabled());
    EXPECT_EQ(count(), QStringLiteral("3"));
}

// A folder with a copy of a book of November holding one row with dictionary keys, and,
// when asked, dictionaries of its own with other names for the same keys (an archive).
QString makeArchive(const QString& folder, bool ownDictionaries) {
    QDir().mkpath(folder);
    Database archive;
    archive.setFolder(folder);
    Table book(archive, schema::book());
    book.setFileName(QStringLiteral("Book[11.2026].db"));
    book.create();
    book.open();
    book.insertValues({{"Wagon", QStringLiteral("777")}, {"Brut", 70000}, {"Load", 5},
                       {"Station", 5}, {"Client", 5}, {"Name1", 7}, {"Name2", 7}});
    if (ownDictionaries) {
        const std::pair<TableDef, QList<std::pair<QString, QVariant>>> dictionaries[] = {
            {schema::loads(), {{"N", 5}, {"Load", QStringLiteral("Щебень")}}},
            {schema::stations(), {{"N", 5}, {"Station", QStringLiteral("Архивная")}}},
            {schema::clients(), {{"N", 5}, {"Client", QStringLiteral("ООО Архив")}}},
            {schema::names(), {{"N", 7}, {"Name", QStringLiteral("Архипов А.А.")}}},
        };
        for (const auto& [def, row] : dictionaries) {
            Table table(archive, def);
            table.create();
            table.open();
            table.insertValues(row);
        }
    }
    return QDir(folder).filePath(QStringLiteral("Book[11.2026].db"));
}

// Load, station, operators (QRDBText8, 9, 10, 20) and client (QRDBText19) of the first row.
QStringList namesPrinted(const ReportDocument& doc) {
    QStringList names;
    for (const char* e : {"QRDBText8", "QRDBText9", "QRDBText19", "QRDBText10", "QRDBText20"})
        names << test::textsOf(doc, QString::fromLatin1(e)).value(0);
    return names;
}

TEST_F(BookReportWindow, AnArchivedBookPrintsTheNamesOfItsOwnDictionariesElseTheWorkingOnes) {
    records.Loads().insertValues({{"N", 5}, {"Load", QStringLiteral("Уголь")}});
    records.Stations().insertValues({{"N", 5}, {"Station", QStringLiteral("Рабочая")}});
    records.Clients().insertValues({{"N", 5}, {"Client", QStringLiteral("ООО Рабочий")}});
    records.Names().insertValues({{"N", 7}, {"Name", QStringLiteral("Рабочев Р.Р.")}});
    const struct {
        const char* folder;
        bool ownDictionaries;
        QStringList names;
    } cases[] = {
        {"Arch1", true, {"Щебень", "Архивная", "ООО Архив", "Архипов А.А.", "Архипов А.А."}},
        {"Arch2", false, {"Уголь", "Рабочая", "ООО Рабочий", "Рабочев Р.Р.", "Рабочев Р.Р."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const QString archived =
            makeArchive(QDir(fixture.programDir).filePath(c.folder), c.ownDictionaries);
        window.setBookChooser([&](QWidget*, const QString&) { return archived; });
        window.show();
        test::clickOn(child<QPushButton>("But1"));
        ASSERT_EQ(count(), QStringLiteral("1"));
        test::clickOn(child<QPushButton>("But3"));
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(namesPrinted(shown.back()), c.names);
        test::clickOn(child<QPushButton>("But4"));
        EXPECT_TRUE(records.Trains().isOpen());
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
}

// As the operator works the window: a name picked from a list and its box clicked, a train
// number typed, the report previewed and saved from the preview as PDF and as text.
TEST_F(BookReportWindow, FiltersTypedAndClickedThenTheReportSavedAsPdfAndText) {
    setReportViewer({});  // the real preview
    const QString folder = fixture.programDir;
    window.show();
    window.activateWindow();  // the focus moves, and the edits see it leave, in an active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    test::pick(child<QComboBox>("LCBox5"), QStringLiteral("Сидоров С.С."));
    test::clickOn(child<QCheckBox>("CheckBox7"));
    EXPECT_EQ(records.Book().filter(), QStringLiteral("((Name2=3)or(Name1=3))"));
    EXPECT_EQ(count(), QStringLiteral("2"));
    test::clickOn(child<QCheckBox>("CheckBox7"));

    auto* train = child<TLIEdit>("LIE9");
    test::clickOn(train);
    QTest::keyClick(train, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(train, "12");
    QTest::keyClick(train, Qt::Key_Tab);
    test::clickOn(child<QCheckBox>("CheckBox9"));
    EXPECT_EQ(records.Book().filter(), QStringLiteral("(Train1=12 or Train2=12)"));
    EXPECT_EQ(count(), QStringLiteral("1"));
    test::clickOn(child<QCheckBox>("CheckBox9"));

    // "с" typed section by section, reached by Tab from its box: the row released at that
    // very minute is left out.
    test::clickOn(child<QCheckBox>("CheckBox1"));
    for (const auto& [name, typed] : {std::pair{"DTP1", "03122026"}, std::pair{"DTP2", "1015"}}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), child<QWidget>(name));
        QTest::keyClicks(QApplication::focusWidget(), typed);
    }
    EXPECT_EQ(records.Book().filter(), QStringLiteral("Time2>'03.12.2026 10:15'"));
    EXPECT_EQ(count(), QStringLiteral("2"));
    test::clickOn(child<QCheckBox>("CheckBox1"));
    test::clickOn(child<QCheckBox>("CheckBox9"));

    ModalScript script;
    script.then([&](QDialog& preview) {
        for (const char* type : {"PDF", "Текст"}) {
            test::pick(preview.findChild<QComboBox*>("SaveType"), QString::fromUtf8(type));
            test::clickOn(preview.findChild<QPushButton*>("Save"));
        }
        test::clickOn(preview.findChild<QPushButton*>("Close"));
    });
    for (int i = 0; i < 2; ++i)
        script.then([&](QDialog& d) { test::answerFileDialog(d, folder, "book"); });
    test::clickOn(child<QPushButton>("But3"));
    EXPECT_EQ(script.shown(), (QStringList{"TPreview", "SaveDialog", "SaveDialog"}));
    EXPECT_TRUE(window.isEnabled());

    QFile pdf(QDir(folder).filePath("book.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    QFile text(QDir(folder).filePath("book.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString printed = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(printed.contains(QStringLiteral("Фильтр:  состав - 12"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Сидоров С.С.")));
    EXPECT_FALSE(printed.contains(QStringLiteral("Рабочев")));

    // The PDF read back and the text both carry the period, the filter and the totals.
    QProcess pdfText;
    pdfText.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf.fileName(), "-"});
    ASSERT_TRUE(pdfText.waitForFinished(20000));
    const QString read = QString::fromUtf8(pdfText.readAllStandardOutput());
    for (const QString& saved : {printed, read}) {
        for (const char* s : {"Период: весь месяц 12\\.2026", "Фильтр: +состав - 12",
                              "Итого +80000 +24000 +56000", "вагонов: 1"})
            EXPECT_TRUE(saved.contains(QRegularExpression(QString::fromUtf8(s))))
                << s << "\n" << saved.toStdString();
    }
}

// The period the filters give is printed under the title and named in the file proposed.
TEST_F(BookReportWindow, ThePeriodOfTheFiltersIsPrintedAndNamesTheFile) {
    window.show();
    child<QDateEdit>("DTP1")->setDate(kReleased.date());
    child<QTimeEdit>("DTP2")->setTime(QTime(10, 0));
    check("CheckBox1");
    check("CheckBox2");  // up to the end of 9 December, as the window starts
    child<QPushButton>("But3")->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(test::textsOf(shown[0], "QRLb4"),
              QStringList{QStringLiteral("Период: с 03.12.2026 10:00 по 09.12.2026 23:59")});
    EXPECT_EQ(shown[0].fileBaseName(), QStringLiteral("Отчет по весовой книге 03.12.2026-09.12.2026"));
    EXPECT_EQ(test::textsOf(shown[0], "QRExprS1"), QStringList{QStringLiteral("вагонов: 3")});

    check("CheckBox1", false);
    check("CheckBox2", false);
    child<QPushButton>("But3")->click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(test::textsOf(shown[1], "QRLb4"),
              QStringList{QStringLiteral("Период: весь месяц 12.2026")});
    EXPECT_EQ(shown[1].fileBaseName(), QStringLiteral("Отчет по весовой книге 12.2026"));
}

}  // namespace
}  // namespace zv
