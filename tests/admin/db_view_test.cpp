#include "admin/db_view.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "admin/viewer_fixture.h"
#include "reports/report_commands.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "ui/modal.h"
#include "ui/scripted_messages.h"

namespace zv::test {
namespace {

TEST_F(ViewerTest, OperatorsAreShownOnlyWithTheTablePassword) {
    view(TDBView::Names, [this](QDialog& d) {
        EXPECT_EQ(prompts, 1);
        EXPECT_TRUE(grid(d)->isVisible());
        EXPECT_EQ(grid(d)->model()->rowCount(), 2);  // operator 0 hidden
    });
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_FALSE(f.records->Names().filtered());

    typedPassword = "wrong";
    view(TDBView::Names, [this](QDialog& d) {
        EXPECT_FALSE(grid(d)->isVisible());
        EXPECT_FALSE(f.records->Names().isOpen());
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].kind, MessageKind::Error);
    });
    // Closing gives the rest of the program its operators back.
    EXPECT_TRUE(f.records->Names().isOpen());
    EXPECT_TRUE(f.records->Names().findKey(operatorNumber));
    EXPECT_EQ(shiftWindows, 0);
}

TEST_F(ViewerTest, LoadsWithoutTheFixedCodesAndNoPassword) {
    f.records->Loads().insertValues({{"N", 5}, {"Load", "Уголь"}});
    view(TDBView::Loads, [this](QDialog& d) {
        EXPECT_EQ(prompts, 0);
        EXPECT_FALSE(d.findChild<QPushButton*>("But1")->isVisible());
        EXPECT_EQ(grid(d)->model()->rowCount(), 1);
        EXPECT_TRUE(f.records->Loads().filtered());
    });
    EXPECT_FALSE(f.records->Loads().filtered());
    EXPECT_EQ(f.records->Loads().recordCount(), 3);
}

TEST_F(ViewerTest, SwitchingFromTheBookReopensItWithTheTablePassword) {
    view(TDBView::Book, [this](QDialog& d) {
        EXPECT_TRUE(d.findChild<QPushButton*>("But1")->isVisible());
        auto* selector = d.findChild<QComboBox*>("CBox1");
        selector->setCurrentIndex(TDBView::Stations);
        emit selector->activated(TDBView::Stations);
        EXPECT_FALSE(d.findChild<QPushButton*>("But1")->isVisible());
        EXPECT_EQ(f.records->connection().passwords(), QStringList{schema::kTablePassword});
        EXPECT_TRUE(f.records->Book().isOpen());
    });
    EXPECT_TRUE(f.records->Book().isOpen());
}

TEST_F(ViewerTest, WaybillOfTheCurrentBookRowWithTheViewerDisabled) {
    f.records->Book().insertValues({{"Wagon", "51234567"}, {"Brut", 61000}, {"Tare", 22000}});
    int previews = 0;
    setReportViewer([&](ReportDocument document, QWidget*) {
        ++previews;
        EXPECT_GT(document.pageCount(), 0);
        EXPECT_FALSE(viewer.isEnabled());
    });
    view(TDBView::Book, [](QDialog& d) { d.findChild<QPushButton*>("But1")->click(); });
    setReportViewer({});
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(viewer.isEnabled());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(ViewerTest, EditsReachTheDiskWhenTheViewerCloses) {
    view(TDBView::Stations, [this](QDialog& d) {
        QAbstractItemModel* model = grid(d)->model();
        const int nameColumn = 1;
        EXPECT_TRUE(model->setData(model->index(1, nameColumn), "Узловая"));
        // Longer than the field: refused, shown, and the row keeps its name.
        EXPECT_FALSE(model->setData(model->index(0, nameColumn), QString(40, 'x')));
        EXPECT_EQ(messages.texts().size(), 1);
        EXPECT_EQ(model->index(0, nameColumn).data().toString(), "Прочие");
    });
    RecordsDatabase second(f.settings, f.programDir, f.clock, f.notifier);
    second.DBOpen();
    ASSERT_TRUE(second.Stations().findKey(1));
    EXPECT_EQ(second.Stations().value("Station").toString(), "Узловая");
}

TEST_F(ViewerTest, DeletingTheShiftOperatorOpensTheShiftWindowOnClosing) {
    view(TDBView::Names, [this](QDialog& d) {
        grid(d)->selectRow(1);  // operator 2
        EXPECT_EQ(f.records->Names().toInt("N"), 2);
        messages.answerNo();
        d.findChild<QToolButton*>("Delete")->click();
        EXPECT_EQ(grid(d)->model()->rowCount(), 2);
        messages.answerYes();
        d.findChild<QToolButton*>("Delete")->click();
        EXPECT_EQ(grid(d)->model()->rowCount(), 1);
    });
    EXPECT_EQ(shiftWindows, 1);
}

TEST_F(ViewerTest, ADictionaryFromTheProcessingWindowHasTheSelectorDisabled) {
    ModalScript script;
    script.then([](QDialog& d) {
        EXPECT_FALSE(d.findChild<QComboBox*>("CBox1")->isEnabled());
        EXPECT_EQ(d.findChild<QComboBox*>("CBox1")->currentIndex(), TDBView::Clients);
    });
    viewer.openDictionary(TDBView::Clients);
    EXPECT_TRUE(viewer.findChild<QComboBox*>("CBox1")->isEnabled());
}

}  // namespace
}  // namespace zv::test
