#include "central/central_fixture.h"
#include "central/sender.h"

#include "records/train_storage.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace zv {
namespace {

QStringList logged;
void keepLog(QtMsgType, const QMessageLogContext&, const QString& text) {
    logged.append(text);
}

TEST(CentralSender, SendsOffTheThreadAndReportsAnOutageOnceUntilTheServerIsBack) {
    ZV_REQUIRE_POSTGRES();
    test::PgCluster& cluster = *test::PgCluster::instance();
    test::CentralFixture central;
    central.connect();
    RecordsDatabase& r = central.open();
    central::CentralSender sender(central.params(), central.f.dbDir(), QStringLiteral("north"));
    central.listener.setEntered([&] { sender.wake(); });
    using S = central::SenderStatus::State;

    StoreTrain(r, test::trainOf(2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sender.status().state == S::Sent && central.queued() == 0; }, 10000));
    EXPECT_EQ(central.rows("SELECT count(*) FROM central.trains"), QStringList{"2"});
    EXPECT_EQ(central::statusText(sender.status()), QStringLiteral("Центральная база: передано"));

    central.server.close();
    cluster.stop();
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepLog);
    QSignalSpy reports(&sender, &central::CentralSender::statusChanged);
    StoreTrain(r, test::trainOf(1, test::kFirstWagon.addSecs(600)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return reports.count() >= 2; }, 10000)) << "the first try and one retry";
    qInstallMessageHandler(previous);
    EXPECT_EQ(sender.status().state, S::Failing);
    EXPECT_EQ(logged.size(), 1) << "logged once, not on every retry";
    const QString text = central::statusText(sender.status());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Центральная база: нет связи, в очереди 1, последняя передача ") +
                                QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))))
        << text.toStdString();

    cluster.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sender.status().state == S::Sent; }, 15000));
    EXPECT_EQ(central.rows("SELECT count(*) FROM central.trains"), QStringList{"3"});
}

}  // namespace
}  // namespace zv
