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
    {  // a restart while the server is away still knows when the last batch went
        qInstallMessageHandler(keepLog);
        central::CentralSender restarted(central.params(), central.f.dbDir(), QStringLiteral("north"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return restarted.status().state == S::Failing; }, 10000));
        qInstallMessageHandler(previous);
        EXPECT_EQ(central::statusText(restarted.status()).left(text.size() - 3), text.left(text.size() - 3));
    }

    cluster.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sender.status().state == S::Sent; }, 15000));
    EXPECT_EQ(central.rows("SELECT count(*) FROM central.trains"), QStringList{"3"});
}

TEST(CentralSenderStatus, NamesTheEntriesTheServerRefused) {
    central::SenderStatus status;
    status.state = central::SenderStatus::State::Sent;
    status.rejected = 2;
    EXPECT_EQ(central::statusText(status), QStringLiteral("Центральная база: передано, отклонено сервером: 2"));
    status.state = central::SenderStatus::State::Off;
    EXPECT_EQ(central::statusText(status), QString());
}

}  // namespace
}  // namespace zv
