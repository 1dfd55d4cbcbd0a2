#include "admin/central_page.h"
#include "admin/setup_p.h"

#include "admin/admin_fixture.h"
#include "central/central_fixture.h"
#include "ui/tlie_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace zv {
namespace {

class CentralPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        fx.records().DBOpen();
        fx.messages.clear();
        window.setHost(&fx);
        window.UpdateSetupP(fx.settings());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTabWidget* tabs = window.findChild<QTabWidget*>("PCon1");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(TSetupP::Central).center());
        ASSERT_EQ(window.currentPage(), TSetupP::Central);
    }
    template <typename T>
    T* get(const char* name) {
        T* widget = window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2)); }
    // Clicks into an edit, clears it and types the text; Tab leaves it.
    void type(const char* name, const QString& text) {
        QLineEdit* edit = get<QLineEdit>(name);
        click(edit);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    QString checkAndWait() {
        CentralPage* page = get<CentralPage>("TS3");
        click(get<QPushButton>("ButCheck"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !page->checking(); }, 15000));
        QApplication::processEvents();
        return get<QLabel>("LbVerdict")->text();
    }
    void shot(const QString& name) {
        if (qEnvironmentVariableIsSet("ZOLVELT_SHOTS")) window.grab().save(qEnvironmentVariable("ZOLVELT_SHOTS") + "/" + name);
    }

    test::AdminFixture fx;
    TSetupP window;
};

TEST_F(CentralPageTest, RefusesSendingWithoutTheScalesIdentity) {
    click(get<QCheckBox>("CBSend"));
    click(get<QPushButton>("But1"));
    ASSERT_EQ(fx.messages.shown().size(), 1u);
    EXPECT_TRUE(fx.messages.shown()[0].text.startsWith("Укажите обозначение весов"));
    EXPECT_FALSE(fx.readBack().Central.Send) << "nothing was saved";
    type("EdScale", "north-1");
    click(get<QPushButton>("But1"));
    EXPECT_EQ(fx.messages.shown().size(), 1u);
    EXPECT_TRUE(fx.readBack().Central.Send);
    EXPECT_EQ(fx.readBack().Central.Scale, "north-1");
}

TEST_F(CentralPageTest, ChecksTheConnectionTypedAgainstARunningAndAStoppedServer) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    const QString database = cluster.createDatabase();
    {
        central::PgConnection admin;
        admin.connect(cluster.params(database));
        central::initSchema(admin);
    }
    click(get<QCheckBox>("CBSend"));
    type("EdHost", test::PgCluster::host());
    type("LIEPort", QString::number(cluster.port()));
    type("EdBase", database);
    type("EdUser", test::PgCluster::admin());
    type("EdScale", "north");
    EXPECT_TRUE(checkAndWait().startsWith("Связь в порядке")) << get<QLabel>("LbVerdict")->text().toStdString();
    shot("central_page_running.png");
    cluster.stop();
    EXPECT_TRUE(checkAndWait().startsWith("Сервер недоступен")) << get<QLabel>("LbVerdict")->text().toStdString();
    shot("central_page_stopped.png");
    cluster.start();
    click(get<QPushButton>("But1"));
    const CentralSettings saved = fx.readBack().Central;
    EXPECT_EQ(saved.Port, cluster.port());
    EXPECT_EQ(saved.Database, database.toStdString());
}

}  // namespace
}  // namespace zv
