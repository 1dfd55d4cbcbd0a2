#include "reports/b_prn.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>

#include "records/records_fixture.h"
#include "reports/report_commands.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
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

}  // namespace
}  // namespace zv
