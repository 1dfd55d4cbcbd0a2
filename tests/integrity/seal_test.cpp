#include "integrity/event_action.h"
#include "integrity/event_kinds.h"
#include "integrity/seal_chain.h"
#include "integrity_fixture.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "records/table_error.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace zv {
namespace {

class SealTest : public ::testing::Test, protected test::IntegrityFixture {
protected:
    // Three rows of train 1 in Trains (rows 1..3, weights 1000, 2000, 3000), the program closed.
    void threeRows() {
        start();
        for (int i = 1; i <= 3; ++i) addTrain(1, i, i * 1000);
        stop();
    }
};

// The stored seals of every installation depend on these bytes: a row's digest (a tag per value,
// little-endian numbers, lengths before texts and blobs) and the keyed chain over it. The
// expected values were worked out apart from this program, with Python's hashlib and hmac.
TEST(SealFormat, DigestsAndChainsRowsExactlyAsEveryStoredSealWasMade) {
    QTemporaryDir dir;
    SqliteFile file;
    file.open(dir.filePath(QStringLiteral("Trains.db")), true);
    file.exec(QStringLiteral("CREATE TABLE Trains (a, b, c, d, e)"));
    file.exec(QStringLiteral("INSERT INTO Trains VALUES (NULL, 60000, 12.5, 'Вагон 51234567', X'0001FF')"));
    // 800 bytes of text in one value: more than the hash gathers before handing it on.
    file.exec(QStringLiteral("INSERT INTO Trains VALUES (7, '%1', -1, NULL, 'x')").arg(QString(400, u'Ж')));
    const QByteArray key = "the key of this scale";

    EXPECT_EQ(seals::storedRowDigest(file, QStringLiteral("Trains"), 1),
              "4d467b9c9e40752f99d04eb484b4b9f8ec448aa84242aac8d3ab5093ea15a40c");
    EXPECT_EQ(seals::storedRowDigest(file, QStringLiteral("Trains"), 2),
              "4de5c56e0f8b9e634eaf4c13628890b7e52ec269d97986be712144a6eecae7c7");
    ASSERT_EQ(seals::sealExistingRows(file, key, QStringLiteral("Trains")), 2);
    SqlStatement chain = file.prepare(QStringLiteral("SELECT seal FROM zv_seal ORDER BY n"));
    QList<QByteArray> stored;
    while (chain.step()) stored.append(chain.column(0).toByteArray());
    EXPECT_EQ(stored, (QList<QByteArray>{"ee942222b73cabd653ccf80aa5949454ea6c7b670a70bc4081c676642e912087",
                                         "667fe1e80df5870874ebbe4addd5a4db9bc7aa75edaab9ab2089dcfe83df3fe5"}));

    // Keys of every length HMAC treats apart: none, exactly a block, longer than a block.
    EXPECT_EQ(seals::genesis(QByteArray(), QStringLiteral("Trains")),
              "e54ef8734f2d1694c0c9887a7b45dfe9508ce3ee71625df9fd2c8cfc9390047c");
    EXPECT_EQ(seals::genesis(QByteArray(64, 'k'), QStringLiteral("Trains")),
              "3a95ef8c8c8c0d424fc0239bcbc10f702fc9b1427f8aa5af8714e4eaaf246413");
    EXPECT_EQ(seals::genesis(QByteArray(100, 'K'), QStringLiteral("Trains")),
              "e16c5735f324e5b4b8dc8dd8c53b7396e8248d08a89f207a7e5272821f3ea456");
}

TEST_F(SealTest, NamesEachKindOfChangeMadeBehindTheProgramsBack) {
    struct Case {
        const char* what;
        QString statement;
        QString finding;
    };
    const QList<Case> cases = {
        {"a weight changed", "UPDATE Trains SET Weight=Weight+100 WHERE rowid=2", "Таблица Trains: изменена запись 2"},
        {"a row inserted", "INSERT INTO Trains (Train, Time, Weight, Direc, Note) VALUES (1, '2026-12-09 11:00:00', 5, 0, 1)",
         "Таблица Trains: добавлена запись 4"},
        {"a row deleted", "DELETE FROM Trains WHERE rowid=2", "Таблица Trains: удалена 1 запись"},
        {"two rows swapped",
         "UPDATE Trains SET rowid=100 WHERE rowid=1; UPDATE Trains SET rowid=1 WHERE rowid=3; "
         "UPDATE Trains SET rowid=3 WHERE rowid=100",
         "Таблица Trains: переставлены записи 1, 3"},
        {"a seal edited", "UPDATE zv_seal SET seal='00' || substr(seal, 3) WHERE rid=2",
         "Таблица Trains: повреждена печать записи 2"},
        {"two weights changed and a row deleted",
         "UPDATE Trains SET Weight=1 WHERE rowid IN (1, 2); DELETE FROM Trains WHERE rowid=3",
         "Таблица Trains: изменены записи 1, 2; удалена 1 запись"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(dbDir()).removeRecursively();
        QDir(programDir).mkdir(QStringLiteral("DB"));
        QFile::remove(QDir(programDir).filePath(QStringLiteral("ZOLVelt.seals")));
        threeRows();
        sql(QStringLiteral("Trains.db"), c.statement);
        start();
        EXPECT_EQ(findings(), QStringList{c.finding});
        const QList<Event> logged = events(event_kind::IntegrityFinding);
        ASSERT_EQ(logged.size(), 1);
        EXPECT_EQ(logged[0].newValue, c.finding);
        stop();
    }
}

TEST_F(SealTest, TellsAFileReplacedByAnOlderCopyOfItself) {
    threeRows();
    QFile::copy(file(QStringLiteral("Trains.db")), file(QStringLiteral("old.copy")));
    start();
    addTrain(2, 10, 4000);
    stop();
    QFile::remove(file(QStringLiteral("Trains.db")));
    QFile::copy(file(QStringLiteral("old.copy")), file(QStringLiteral("Trains.db")));
    start();
    EXPECT_EQ(findings(), QStringList{QStringLiteral("Таблица Trains: файл заменен более старой копией")});
}

// A November book with a row, then the program run in December: the November book is no
// longer opened, only checked.
TEST_F(SealTest, TellsABookOfAnEarlierMonthDeletedUntilAcknowledged) {
    clock.time = QDateTime(QDate(2026, 11, 30), QTime(23, 50));
    start();
    records->Book().insertValues({{"Wagon", "51234567"}, {"Brut", 61000}, {"Tare", 22000}});
    stop();
    clock.time = QDateTime(QDate(2026, 12, 1), QTime(8, 0));
    start();
    EXPECT_TRUE(findings().isEmpty());
    stop();
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("Book[11.2026].db"))));

    start();
    const QString deleted = QStringLiteral("Книга Book[11.2026]: файл удален");
    EXPECT_EQ(findings(), QStringList{deleted});
    stop();
    start();
    findings();
    EXPECT_EQ(integrity->outstanding(), QStringList{deleted});
    EXPECT_EQ(told(event_kind::IntegrityFinding), QStringList{"Книга Book[11.2026] |  -> " + deleted});
    integrity->acknowledge();
    stop();
    start();
    EXPECT_TRUE(findings().isEmpty());
    EXPECT_TRUE(integrity->outstanding().isEmpty());
}

TEST_F(SealTest, KeepsAFindingUntilAcknowledgedAndLogsBoth) {
    threeRows();
    sql(QStringLiteral("Trains.db"), QStringLiteral("UPDATE Trains SET Weight=7 WHERE rowid=1"));
    start();
    findings();
    EXPECT_EQ(integrity->outstandingFor(QStringLiteral("Trains.db")), QStringList{"Таблица Trains: изменена запись 1"});
    findings();  // the same finding again is not logged twice
    EXPECT_EQ(events(event_kind::IntegrityFinding).size(), 1);
    integrity->acknowledge();
    EXPECT_TRUE(integrity->outstanding().isEmpty());
    EXPECT_EQ(events(event_kind::FindingAcknowledged).size(), 1);
    stop();
    start();
    findings();
    EXPECT_TRUE(integrity->outstanding().isEmpty());  // acknowledged stays acknowledged
    EXPECT_EQ(records->Trains().recordCount(), 3);  // and the table stays usable
}

TEST_F(SealTest, TheProgramsOwnWritesAreSealedAndLoggedWithOldAndNewValues) {
    start();
    Table& trains = records->Trains();
    {
        const EventAction stored = EventAction::trainStored();
        addTrain(1, 1, 1000);
        integrity->collect();  // as while the operator answers a box: the action's event waits
        trains.beginBatch();
        for (int i = 2; i <= 3; ++i) addTrain(1, i, i * 1000);
        trains.flush();
    }
    trains.setFiltered(false);
    trains.first();
    trains.next();
    trains.edit();
    trains.setValue(QStringLiteral("Weight"), 2500);
    trains.post();
    trains.remove();  // row 2 again
    stop();
    start();
    EXPECT_TRUE(findings().isEmpty());

    EXPECT_EQ(told(event_kind::TrainStored), QStringList{"Состав 1 |  -> вагонов: 3"});
    EXPECT_EQ(told(event_kind::RowEdited),
              QStringList{"Таблица Trains, запись 2, Time = 09.12.2026 10:02:00 | Weight: 2000 -> Weight: 2500"});
    const QList<Event> deleted = events(event_kind::RowDeleted);
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_TRUE(deleted[0].oldValue.contains("Weight: 2500")) << deleted[0].oldValue.toStdString();

    {
        const EventAction cleared = EventAction::trainsRenumbered();
        Table& reopened = records->Trains();
        reopened.setFiltered(false);
        reopened.first();
        while (!reopened.isEmpty()) reopened.remove();
    }
    EXPECT_EQ(events(event_kind::TrainsRenumbered).value(0).newValue, "удалено записей: 2; нумерация с 1");
    EXPECT_TRUE(findings().isEmpty());
}

// A wagon undone in its own step takes its count with it, also when it was counted the quick
// way: the train's one event counts the wagons stored, before and after the undone one.
TEST_F(SealTest, AStepUndoneTakesItsShareOfTheActionsEventWithIt) {
    start();
    Table& trains = records->Trains();
    {
        const EventAction stored = EventAction::trainStored();
        for (int i = 1; i <= 5; ++i) {
            trains.runGuarded([&] {
                addTrain(1, i, i * 1000);
                if (i == 3 || i == 4) throw TableError(QStringLiteral("the wagon cannot be stored"));
            });
        }
        trains.flush();
    }
    stop();
    start();
    EXPECT_TRUE(findings().isEmpty());
    EXPECT_EQ(told(event_kind::TrainStored), QStringList{"Состав 1 |  -> вагонов: 3"});

    // An action whose event names the newest weight: the edit undone leaves the weight before
    // it in the event, and the same edit made again must name its weight there once more.
    Table& again = records->Trains();
    again.setFiltered(false);
    again.first();
    {
        const EventAction weighed(QStringLiteral("Перевеска"), QStringLiteral("Trains"), {EventAction::Change::Update},
                                  [](const Row& row) { return std::pair(row.value("Weight").toString(), QStringLiteral("правок: %n")); });
        for (const int weight : {2000, 3000, 3000}) {
            again.runGuarded([&] {
                again.edit();
                again.setValue(QStringLiteral("Weight"), weight);
                again.post();
                static bool undone = false;
                if (weight == 3000 && !std::exchange(undone, true)) throw TableError(QStringLiteral("undone"));
            });
        }
        again.flush();
    }
    EXPECT_EQ(told(QStringLiteral("Перевеска")), QStringList{"3000 |  -> правок: 2"});
}

// The seals go in as the rows commit; an edit undone before that must not seal what the row
// holds then, or a change made behind the program's back would be sealed with it.
TEST_F(SealTest, AnEditUndoneOnARowChangedBehindTheProgramsBackSealsNothingOfIt) {
    threeRows();
    sql(QStringLiteral("Trains.db"), QStringLiteral("UPDATE Trains SET Weight=9999 WHERE rowid=2"));
    start();
    Table& trains = records->Trains();
    trains.setFiltered(false);
    ASSERT_TRUE(trains.locateRowId(2));
    trains.runGuarded([&] {
        trains.edit();
        trains.setValue(QStringLiteral("Weight"), 2000);
        trains.post();
        throw TableError(QStringLiteral("undone"));
    });
    trains.runGuarded([&] { addTrain(2, 10, 4000); });
    trains.flush();
    stop();
    SqliteFile stored;
    stored.open(file(QStringLiteral("Trains.db")), false);
    SqlStatement sealed = stored.prepare(QStringLiteral("SELECT rid, digest FROM zv_seal ORDER BY n"));
    QHash<qint64, QByteArray> latest;
    while (sealed.step()) latest.insert(sealed.columnInt64(0), sealed.column(1).toByteArray());
    EXPECT_EQ(latest.value(4), seals::storedRowDigest(stored, QStringLiteral("Trains"), 4)) << "the new row is sealed";
    EXPECT_NE(latest.value(2), seals::storedRowDigest(stored, QStringLiteral("Trains"), 2)) << "the changed row is not";
}

// Tables of an earlier version, which sealed nothing: the program makes the key of the new
// installation but seals none of them on its own, not even when it writes to them; the
// engineer's seal takes them as they are, logs it and acknowledges their findings.
TEST_F(SealTest, TablesOfAnEarlierVersionStayUnsealedFindingsUntilAnEngineerSealsThem) {
    open();
    for (int i = 1; i <= 2; ++i) addTrain(1, i, i * 1000);
    records.reset();
    SqliteFile before;
    before.open(file(QStringLiteral("Trains.db")), false);
    const QByteArray first = seals::storedRowDigest(before, QStringLiteral("Trains"), 1);
    before.close();

    start();
    ASSERT_TRUE(integrity->ready());
    EXPECT_TRUE(findings().contains(QStringLiteral("Таблица Trains: записи не опечатаны")));
    addTrain(2, 5, 3000);
    EXPECT_FALSE(seals::isSealed(records->Trains().sqliteFile()));
    EXPECT_TRUE(events(event_kind::TableSealed).isEmpty());
    stop();
    start();
    EXPECT_TRUE(integrity->outstanding().contains(QStringLiteral("Таблица Trains: записи не опечатаны")));

    const QStringList unsealed = integrity->unsealedTables();
    EXPECT_TRUE(unsealed.contains(QStringLiteral("Таблица Trains")) && unsealed.contains(QStringLiteral("Таблица Names")))
        << unsealed.join('|').toStdString();
    QStringList sealed;
    for (const SealedTable& table : integrity->sealUnsealed(QStringLiteral("Наладчик"))) sealed.append(sealedText(table));
    EXPECT_TRUE(sealed.contains(QStringLiteral("Таблица Trains: опечатано записей: 3"))) << sealed.join('|').toStdString();
    const QList<Event> logged = events(event_kind::TableSealed);
    ASSERT_EQ(logged.size(), unsealed.size());
    EXPECT_EQ(logged[0].operatorName, QStringLiteral("Наладчик"));
    EXPECT_TRUE(findings().isEmpty());
    EXPECT_TRUE(integrity->outstanding().isEmpty());
    EXPECT_EQ(seals::storedRowDigest(records->Trains().sqliteFile(), QStringLiteral("Trains"), 1), first);
}

// The operators' codes are sealed like the weights: a code blanked or changed behind the
// program's back is a finding, and the codes never enter the log.
TEST_F(SealTest, NamesIsSealedOnEveryWriteAndKeepsItsCodesOutOfTheLog) {
    start();
    records->Names().insertRecord({1, QStringLiteral("Иванов"), QStringLiteral("4711")});
    records->Names().insertRecord({2, QStringLiteral("Петров"), QStringLiteral("1234")});
    stop();
    start();
    EXPECT_TRUE(findings().isEmpty());
    for (const Event& event : events({}))
        EXPECT_FALSE(event.oldValue.contains("4711") || event.newValue.contains("4711")) << event.kind.toStdString();
    stop();
    sql(QStringLiteral("Names.db"), QStringLiteral("UPDATE Names SET Pass='' WHERE N=1"));
    start();
    const QStringList found = findings();
    ASSERT_EQ(found.size(), 1);
    EXPECT_TRUE(found[0].startsWith(QStringLiteral("Таблица Names: изменена запись"))) << found[0].toStdString();
}

// A child stores rows, each with its event, until it is killed; whatever it left must have
// every row with its event and no event without its row.
TEST_F(SealTest, AKillBetweenARowAndItsEventLeavesBothOrNeither) {
    start();
    stop();
    for (int round = 0; round < 3; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            start();
            for (int i = 0;; ++i) {
                records->Trains().insertRecord({1, test::at(0).addSecs(round * 100000 + i), QVariant(), 1000, 0, 0, 0, 0, 1});
                if (i % 7 == 0) integrity->collect();  // a kill may come while the log takes them, too
            }
        }
        usleep(150000 + round * 70000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    start();
    EXPECT_TRUE(findings().isEmpty());
    const int rows = records->Trains().recordCount();
    EXPECT_GT(rows, 0);
    EXPECT_EQ(events(event_kind::RowInserted).size(), rows);
}

}  // namespace
}  // namespace zv
