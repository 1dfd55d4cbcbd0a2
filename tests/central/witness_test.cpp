// The witness: the heads of the seal chains each push leaves on the server, and the comparison
// of the chains on the scale PC with them, against a real cluster and real table files.
#include "central/central_fixture.h"
#include "central/sender.h"
#include "central/witness.h"
#include "integrity/event_kinds.h"
#include "integrity/records_integrity.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "records/train_storage.h"
#include "tools/tool_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <fstream>

namespace zv {
namespace {

using test::run;
using test::ToolRun;

// A program folder whose tables are sealed and enter their changes (events too) into the
// outbox, as the program's are with sending on, and whose settings name the test server.
class WitnessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_REQUIRE_POSTGRES();
        central.connect();
        std::ofstream(settingsFile.toStdString())
            << "[Central]\r\nSend=1\r\nHost=127.0.0.1\r\nPort=" << test::PgCluster::instance()->port()
            << "\r\nDatabase=" << central.database.toStdString() << "\r\nUser=" << test::PgCluster::admin().toStdString()
            << "\r\nScale=north\r\n";
        start();
    }
    void TearDown() override { stop(); }

    void start() {
        central.open();
        integrity = std::make_unique<RecordsIntegrity>(*central.f.records, central.f.notifier, settingsFile);
        integrity->log().setAppended([this](SqliteFile& file, qint64 n) { central.listener.eventAppended(file, n); });
        integrity->tablesOpened();
    }
    // The program ends: what follows is done behind its back.
    void stop() {
        if (integrity) integrity->collect();
        integrity.reset();
        central.f.records.reset();
    }
    void storeTrain(int wagons, int minutes) {
        StoreTrain(*central.f.records, test::trainOf(wagons, test::kFirstWagon.addSecs(60 * minutes)));
        integrity->collect();
    }
    QString trainsFile() const { return QDir(central.f.dbDir()).filePath(QStringLiteral("Trains.db")); }
    QByteArray key() const { return loadSealKey(sealPathsBeside(settingsFile).key); }
    // What one with the key does to keep the local check quiet: the heads file follows the file.
    void moveTheHeadsTo(const QString& path) const {
        SqliteFile file;
        file.open(path, false);
        SealHeads heads(sealPathsBeside(settingsFile).heads, key());
        ASSERT_TRUE(heads.load());
        heads.setHead(QFileInfo(path).canonicalFilePath(), SealHead{seals::lastEntry(file)->n, seals::lastEntry(file)->seal});
        ASSERT_TRUE(heads.save());
    }
    // The dishonest way with the key: a weight changed, the table sealed again from the start
    // and the heads file moved on to match.
    void resealWithAWeightChanged(int rowId) {
        {
            SqliteFile file;
            file.open(trainsFile(), false);
            file.exec(QStringLiteral("UPDATE Trains SET Weight = 50000 WHERE rowid = %1; DROP TABLE zv_seal").arg(rowId));
            seals::sealExistingRows(file, key(), QStringLiteral("Trains"));
        }
        moveTheHeadsTo(trainsFile());
    }
    ToolRun check(bool withCentral = true) {
        std::vector<std::string> args{"check-records", "--db", central.f.dbDir().toStdString()};
        if (withCentral) args.push_back("--central");
        return run(args);
    }

    test::CentralFixture central;
    QString settingsFile = QDir(central.f.programDir).filePath(QStringLiteral("ZOLVelt.ini"));
    std::unique_ptr<RecordsIntegrity> integrity;
};

TEST_F(WitnessTest, EachPushLeavesTheHeadsThatMovedAndTheBacklog) {
    storeTrain(3, 0);
    central.push();
    EXPECT_EQ(central.rows("SELECT file, n FROM central.witness WHERE file = 'Trains.db' ORDER BY n"), QStringList{"Trains.db|3"});
    EXPECT_EQ(central.rows("SELECT outbox_waiting, outbox_refused, outbox_reported_at IS NOT NULL FROM central.scales"),
              QStringList{"0|0|t"});
    storeTrain(2, 10);
    central.push();
    EXPECT_EQ(central.rows("SELECT n FROM central.witness WHERE file = 'Trains.db' ORDER BY n"), (QStringList{"3", "5"}));
    // A dictionary's change moves no chain: no head is sent again.
    const QStringList witnessed = central.rows("SELECT file, n FROM central.witness ORDER BY file, n");
    Table& loads = central.f.records->Loads();
    ASSERT_TRUE(loads.findKey(1));
    loads.edit();
    loads.setValue(QStringLiteral("Load"), QStringLiteral("Щебень"));
    loads.post();
    EXPECT_EQ(central.push(), 1);
    EXPECT_EQ(central.rows("SELECT file, n FROM central.witness ORDER BY file, n"), witnessed);

    // Three batches: the first two tell what is still waiting.
    storeTrain(5, 20);
    central::PgConnection connection;
    connection.connect(central.params());
    central::Pusher pusher(central.f.dbDir(), QStringLiteral("north"));
    ASSERT_EQ(pusher.pushBatch(connection, 2), 2);
    EXPECT_EQ(central.rows("SELECT outbox_waiting FROM central.scales"), QStringList{QString::number(central.queued())});
    EXPECT_GT(central.queued(), 0);
    EXPECT_EQ(check().status, 0) << check().out;
}

TEST_F(WitnessTest, ARowChangedAndResealedWithTheKeyAfterItWasWitnessedIsAFinding) {
    storeTrain(3, 0);
    central.push();
    ASSERT_EQ(check().status, 0) << check().out;
    stop();
    resealWithAWeightChanged(2);
    EXPECT_EQ(check(false).status, 0) << "the local check alone cannot tell: " << check(false).out;
    const ToolRun found = check();
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, "Таблица Trains: печати переписаны после передачи в центральную базу: запись цепочки 3 "
                         "не совпадает с засвидетельствованной\n");
}

TEST_F(WitnessTest, AFileRolledBackBelowAWitnessedCountOrGoneIsAFinding) {
    storeTrain(2, 0);
    stop();
    const QString copy = QDir(central.f.programDir).filePath(QStringLiteral("Trains-copy.db"));
    ASSERT_TRUE(QFile::copy(trainsFile(), copy));
    start();
    storeTrain(2, 10);
    central.push();
    stop();
    ASSERT_TRUE(QFile::remove(trainsFile()));
    ASSERT_TRUE(QFile::copy(copy, trainsFile()));
    moveTheHeadsTo(trainsFile());
    EXPECT_EQ(check(false).status, 0) << check(false).out;
    ToolRun found = check();
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, "Таблица Trains: файл заменен более старой копией: в цепочке записей 2, "
                         "центральная база засвидетельствовала записей цепочки: 4\n");

    ASSERT_TRUE(QFile::remove(trainsFile()));
    found = check();
    EXPECT_EQ(found.status, 1);
    EXPECT_NE(found.out.find("Таблица Trains: файл удален после передачи в центральную базу (центральная база "
                             "засвидетельствовала записей цепочки: 4)\n"),
              std::string::npos)
        << found.out;
}

TEST_F(WitnessTest, TheSenderComparesAtItsStartAndAnAcknowledgementOnTheServerEndsTheFinding) {
    storeTrain(3, 0);
    central.push();
    const QStringList before = central.rows("SELECT n, head FROM central.witness WHERE file = 'Trains.db'");
    stop();
    resealWithAWeightChanged(1);
    start();
    QList<WitnessFinding> found;
    {
        central::CentralSender sender(central.params(), central.f.dbDir(), QStringLiteral("north"));
        QSignalSpy compared(&sender, &central::CentralSender::witnessCompared);
        ASSERT_TRUE(compared.wait(10000));
        found = compared.at(0).at(0).value<QList<WitnessFinding>>();
    }
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].title, QStringLiteral("Таблица Trains"));
    // The engineer acknowledges it; the acknowledgement goes with the next push.
    integrity->record(event_kind::IntegrityFinding, found[0].title, {}, found[0].text);
    integrity->acknowledge();
    storeTrain(1, 30);
    central.push();
    central::PgConnection connection;
    connection.connect(central.params());
    EXPECT_TRUE(central::checkAgainstWitness(connection, QStringLiteral("north"), central.f.dbDir()).isEmpty());
    // The server keeps what it witnessed before, beside the heads of the chain as it is now.
    const QStringList after = central.rows("SELECT n, head FROM central.witness WHERE file = 'Trains.db' ORDER BY received_at");
    ASSERT_EQ(before.size(), 1);
    EXPECT_EQ(after.first(), before.first());
    EXPECT_EQ(after.last().section(u'|', 0, 0), QStringLiteral("4"));
}

// A scale's own login: the heads go in once each, also when the ledger was forgotten after a
// failed push and the same heads are offered again.
TEST_F(WitnessTest, AScalesOwnLoginAddsItsHeadsOnceEach) {
    storeTrain(2, 0);
    const QString login = QStringLiteral("north_") + central.database;
    central.server.execScript(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'northpw' IN ROLE zolvelt_scales;"
                                             "INSERT INTO central.scale_logins VALUES ('%1', 'north');")
                                  .arg(login));
    central::ConnectionParams params = central.params();
    params.set(QStringLiteral("user"), login);
    params.set(QStringLiteral("password"), QStringLiteral("northpw"));
    {
        central::PgConnection scale;
        scale.connect(params);
        central::WitnessLedger ledger;
        for (int round = 0; round < 2; ++round) {
            ledger.forget();
            scale.transaction([&] { ledger.addChanged(scale, QStringLiteral("north"), central.f.dbDir()); });
        }
        EXPECT_EQ(central::checkAgainstWitness(scale, QStringLiteral("north"), central.f.dbDir()).size(), 0);
    }
    EXPECT_EQ(central.rows("SELECT n FROM central.witness WHERE file = 'Trains.db'"), QStringList{"2"});
    central.server.execScript(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1;").arg(login));
}

// The roles the central schema makes: a scale's login adds heads of its own scale only, reads
// only its own and can change or remove none; the office reads and writes nothing.
TEST(WitnessRoles, AScaleAddsOnlyItsOwnHeadsAndNobodyButTheOwnerChangesThem) {
    ZV_REQUIRE_POSTGRES();
    test::CentralFixture central;
    central.connect();
    const QString scaleLogin = QStringLiteral("east2_") + central.database, officeLogin = QStringLiteral("office_") + central.database;
    central.server.execScript(QStringLiteral(
        "CREATE ROLE %1 LOGIN PASSWORD 'east2pw' IN ROLE zolvelt_scales;"
        "CREATE ROLE %2 LOGIN PASSWORD 'officepw' IN ROLE zolvelt_office;"
        "INSERT INTO central.scale_logins VALUES ('%1', 'east2');"
        "INSERT INTO central.witness (scale, file, n, head, sent_at) VALUES ('west7', 'Trains.db', 5, 'aa', now());")
                                  .arg(scaleLogin, officeLogin));
    const auto as = [&](const QString& login, const QString& password) {
        central::ConnectionParams params = central.params();
        params.set(QStringLiteral("user"), login);
        params.set(QStringLiteral("password"), password);
        auto connection = std::make_unique<central::PgConnection>();
        connection->connect(params);
        return connection;
    };
    const auto refused = [](central::PgConnection& c, const QString& sql) {
        try {
            c.exec(sql);
        } catch (const central::PgError& e) {
            return e.sqlState() == QStringLiteral("42501");
        }
        return false;
    };
    auto east = as(scaleLogin, QStringLiteral("east2pw"));
    east->exec(QStringLiteral("INSERT INTO central.witness (scale, file, n, head, sent_at) VALUES ('east2', 'Trains.db', 3, 'bb', now())"));
    EXPECT_TRUE(refused(*east, QStringLiteral("INSERT INTO central.witness (scale, file, n, head, sent_at) "
                                              "VALUES ('west7', 'Trains.db', 9, 'cc', now())")));
    EXPECT_TRUE(refused(*east, QStringLiteral("INSERT INTO central.witness (scale, file, n, head, sent_at, received_at) "
                                              "VALUES ('east2', 'Trains.db', 1, 'dd', now(), now() - interval '1 year')")));
    EXPECT_TRUE(refused(*east, QStringLiteral("UPDATE central.witness SET head = 'ee'")));
    EXPECT_TRUE(refused(*east, QStringLiteral("DELETE FROM central.witness")));
    EXPECT_TRUE(refused(*east, QStringLiteral("TRUNCATE central.witness")));
    EXPECT_EQ(east->exec(QStringLiteral("SELECT count(*) FROM central.witness")).text(0, 0), QStringLiteral("1"));

    auto office = as(officeLogin, QStringLiteral("officepw"));
    EXPECT_EQ(office->exec(QStringLiteral("SELECT count(*) FROM central.witness")).text(0, 0), QStringLiteral("2"));
    EXPECT_TRUE(refused(*office, QStringLiteral("INSERT INTO central.witness (scale, file, n, head, sent_at) "
                                                "VALUES ('east2', 'Trains.db', 4, 'ff', now())")));
    EXPECT_EQ(central.rows("SELECT scale, n, head FROM central.witness ORDER BY scale"), (QStringList{"east2|3|bb", "west7|5|aa"}));
    central.server.execScript(QStringLiteral("DROP OWNED BY %1, %2; DROP ROLE %1; DROP ROLE %2;").arg(scaleLogin, officeLogin));
}

}  // namespace
}  // namespace zv
