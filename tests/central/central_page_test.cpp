#include "admin/central_page.h"
#include "admin/setup_p.h"

#include "admin/admin_fixture.h"
#include "admin/setup_p_window_test.h"
#include "central/central_fixture.h"
#include "support/operator_input.h"
#include "ui/tlie_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace zv {
namespace {

using test::click;

class CentralPageTest : public test::SetupPWindowTest {
protected:
    void SetUp() override {
        openOn(TSetupP::Common);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTabBar* tabs = get<QTabWidget>("PCon1")->tabBar();
        test::clickAt(tabs, tabs->tabRect(TSetupP::Central).center());
        ASSERT_EQ(window.currentPage(), TSetupP::Central);
    }
    // A check box takes clicks on its box and its text, not on the row beside them.
    void tick(const char* name) {
        QCheckBox* box = get<QCheckBox>(name);
        test::clickAt(box, QPoint(8, box->height() / 2));
    }
    // Types over what an edit holds; Tab leaves it.
    void type(const char* name, const QString& text) {
        test::typeInto(get<QLineEdit>(name), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
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

};

TEST_F(CentralPageTest, RefusesSendingWithoutTheScalesIdentity) {
    tick("CBSend");
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

TEST_F(CentralPageTest, KeepsTheEncryptionChosenAndTheRootCertificate) {
    test::choose(get<QComboBox>("CBSslMode"), "Без шифрования (disable)");
    type("EdRootCert", "/etc/zolvelt/office-ca.crt");
    click(get<QPushButton>("But1"));
    EXPECT_EQ(fx.readBack().Central.SslMode, "disable");
    EXPECT_EQ(fx.readBack().Central.SslRootCert, "/etc/zolvelt/office-ca.crt");
    test::choose(get<QComboBox>("CBSslMode"), "Обязательно (с проверкой сервера, если указан сертификат)");
    click(get<QPushButton>("But1"));
    EXPECT_EQ(fx.readBack().Central.SslMode, "") << "the default: verify-full with the certificate";
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
    tick("CBSend");
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
