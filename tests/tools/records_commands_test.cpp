// zolvelt-tool identify and check-records on real files.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <sstream>

#include "integrity/event_kinds.h"
#include "integrity/integrity_fixture.h"
#include "tools/tool_run.h"
#include "cli/trains_table.h"
#include "integrity/calibration_seal.h"
#include "integrity/seal_chain.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"
#include "records/database.h"
#include "records/schema.h"
#include "records/sqlite_file.h"
#include "records/table.h"
#include "settings/settings_file.h"
#include "support/calibration_by_hand.h"
#include "support/temp_dir.h"
#include "support/test_scale.h"

namespace zv {
namespace {

using test::run;
using test::ToolRun;

TEST(IdentifyCommand, PrintsTheVersionAndTheChecksumOfTheProgramFile) {
    test::TempDir dir;
    const std::string program = (dir / "zolvelt").string();
    QFile file(QString::fromStdString(program));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not really a program");
    file.close();
    const QString sum = QString::fromLatin1(QCryptographicHash::hash("not really a program", QCryptographicHash::Sha256).toHex().left(8));
    const ToolRun shown = run({"identify", "--program", program});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(QString::fromStdString(shown.out), QStringLiteral("ZOLVelt %1 · %2\n").arg(ZOLVELT_PROJECT_VERSION, sum));
    EXPECT_EQ(run({"identify", "--program", program + "-missing"}).status, 2);
}

// An installation the program has run on: Trains with rows 1..3 written by it, sealed and
// noted in the heads beside the key; the program closed.
struct Installation : test::IntegrityFixture {
    Installation() {
        start();
        for (int i = 1; i <= 3; ++i) addTrain(1, i, i * 1000);
        stop();
    }
    std::string db() const { return dbDir().toStdString(); }
    QString beside(const QString& name) const { return QDir(programDir).filePath(name); }
    ToolRun check() const { return run({"check-records", "--db", db()}); }
};

TEST(CheckRecordsCommand, ExitsWithOneAndNamesTheRowChangedBehindTheSeals) {
    Installation installation;
    const ToolRun clean = installation.check();
    EXPECT_EQ(clean.status, 0) << clean.out;
    installation.sql("Trains.db", "UPDATE Trains SET Weight=5 WHERE rowid=3");
    const ToolRun found = installation.check();
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, "Таблица Trains: изменена запись 3\n");
    QFile::remove(installation.file("Trains.db"));
    const ToolRun gone = installation.check();
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "Таблица Trains: файл удален\n");
    EXPECT_EQ(run({"check-records", "--db", installation.db(), "--key", installation.beside("none").toStdString()}).status, 2);
}

// Each way of getting rid of the evidence without the key, tried on an installation in use: the
// tool names it (exit 1), the program names it at start-up, and after the program has run the
// tool still names it (nothing was sealed again, no list or key made anew).
TEST(CheckRecordsCommand, EveryAttackOnTheSealsIsAFindingBeforeAndAfterTheProgramRuns) {
    struct Attack {
        const char* what;
        std::function<void(Installation&)> make;
        QString finding;
        QString after = {};  // what the tool names once the program has written to the table; the same when empty
    };
    const auto putBack = [](const QString& copy, const QString& target) {
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(copy, target));
    };
    const QList<Attack> attacks = {
        {"seals dropped with the row changed",
         [](Installation& i) { i.sql("Trains.db", "UPDATE Trains SET Weight=50000 WHERE rowid=2; DROP TABLE zv_seal"); },
         "Таблица Trains: печати удалены"},
        {"seals emptied", [](Installation& i) { i.sql("Trains.db", "DELETE FROM zv_seal"); }, "Таблица Trains: печати удалены",
         "Таблица Trains: файл заменен более старой копией; добавлены записи 1, 2, 3, 4"},
        {"heads deleted", [](Installation& i) { QFile::remove(i.beside("ZOLVelt.seals")); }, "Список печатей: файл удален"},
        {"heads deleted, Trains rolled back with its seals",
         [&](Installation& i) {
             QFile::remove(i.beside("ZOLVelt.seals"));
             putBack(i.beside("Trains.old"), i.file("Trains.db"));
         },
         "Список печатей: файл удален"},
        {"heads replaced by an older copy",
         [&](Installation& i) { putBack(i.beside("ZOLVelt.seals.old"), i.beside("ZOLVelt.seals")); },
         "Список печатей: файл заменен более старой копией"},
        {"heads and Trains both put back from older copies",
         [&](Installation& i) {
             putBack(i.beside("ZOLVelt.seals.old"), i.beside("ZOLVelt.seals"));
             putBack(i.beside("Trains.old"), i.file("Trains.db"));
         },
         "Список печатей: файл заменен более старой копией"},
        {"heads edited", [](Installation& i) {
             QFile heads(i.beside("ZOLVelt.seals"));
             ASSERT_TRUE(heads.open(QIODevice::Append));
             heads.write("1 00 /tmp/other.db\n");
         },
         "Список печатей: изменен в обход программы"},
        {"Trains rolled back with its seals", [&](Installation& i) { putBack(i.beside("Trains.old"), i.file("Trains.db")); },
         "Таблица Trains: файл заменен более старой копией"},
        {"key deleted", [](Installation& i) { QFile::remove(i.beside("ZOLVelt.key")); }, "Ключ печатей: файл удален"},
    };
    for (const Attack& attack : attacks) {
        SCOPED_TRACE(attack.what);
        Installation installation;
        // Copies taken now, before the program stores one more train.
        ASSERT_TRUE(QFile::copy(installation.file("Trains.db"), installation.beside("Trains.old")));
        ASSERT_TRUE(QFile::copy(installation.beside("ZOLVelt.seals"), installation.beside("ZOLVelt.seals.old")));
        installation.start();
        installation.addTrain(2, 10, 4000);
        installation.stop();
        ASSERT_EQ(installation.check().status, 0);

        attack.make(installation);
        const ToolRun before = installation.check();
        EXPECT_EQ(before.status, 1);
        EXPECT_TRUE(QString::fromStdString(before.out).contains(attack.finding)) << before.out;

        installation.start();
        const QString atStartUp = installation.findings().join('\n');
        EXPECT_TRUE(atStartUp.contains(attack.finding)) << atStartUp.toStdString();
        EXPECT_TRUE(installation.integrity->outstanding().join('\n').contains(attack.finding));
        if (installation.records->Trains().isOpen()) installation.addTrain(3, 20, 5000);
        installation.stop();

        const ToolRun after = installation.check();
        EXPECT_EQ(after.status, 1);
        EXPECT_TRUE(QString::fromStdString(after.out).contains(attack.after.isEmpty() ? attack.finding : attack.after))
            << after.out;
    }
}

// The engineer's seal of a table whose seals are gone: what it holds now becomes the reference,
// logged with who sealed it and how many rows; sealed tables are left alone.
TEST(SealRecordsCommand, SealsTheTablesWithoutSealsAsTheyAreAndLogsWhoAndHowMany) {
    Installation installation;
    installation.sql("Trains.db", "UPDATE Trains SET Weight=50000 WHERE rowid=2; DROP TABLE zv_seal");
    ASSERT_EQ(installation.check().status, 1);
    EXPECT_EQ(run({"seal-records", "--db", installation.db()}).status, 2);  // no name, no seal

    const ToolRun sealed = run({"seal-records", "--db", installation.db(), "--by", "Петров"});
    EXPECT_EQ(sealed.status, 0) << sealed.err;
    EXPECT_EQ(sealed.out, "Таблица Trains: опечатано записей: 3\n");
    const ToolRun clean = installation.check();
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_EQ(run({"seal-records", "--db", installation.db(), "--by", "Петров"}).out, "Все таблицы опечатаны\n");

    installation.start();
    const QList<Event> logged = installation.events(event_kind::TableSealed);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_EQ(logged[0].operatorName, "Петров");
    EXPECT_EQ(logged[0].subject, "Таблица Trains");
    EXPECT_EQ(logged[0].newValue, "опечатано записей: 3");
    EXPECT_TRUE(installation.findings().isEmpty());
    EXPECT_EQ(installation.records->Trains().recordCount(), 3);
}

// A coefficient written into the settings file with the program's codec and no key: the tables
// are untouched and yet every weight is 5 % lighter. Storing trains again (a replay into the
// tables) does not seal it.
TEST(CheckRecordsCommand, ExitsWithOneAndNamesACalibrationEditedByHand) {
    test::TempDir dir;
    const QString programFolder = QString::fromStdString(dir.path().string());
    const std::string ini = (dir / "ZOLVelt.ini").string();
    const std::string db = (dir / "DB").string();
    const Settings scale = test::scaleSettings(1, 1);
    SettingsEffects none;
    ASSERT_TRUE(saveIni(programFolder.toStdString() + "/", ".ini", scale, CalibrationKeys::Write, none));
    storeTrainsInFolder(db, scale, QString::fromStdString(ini), {});
    const ToolRun clean = run({"check-records", "--db", db});
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.out, "Записи не изменялись в обход программы\n");

    test::setCoefficientByHand(ini, 0, 1900000);
    const std::string edited = "Калибровка изменена в обход программы: ak[0] 2000000 → 1900000\n";
    for (const char* after : {"the edit", "a replay into the tables"}) {
        SCOPED_TRACE(after);
        const ToolRun found = run({"check-records", "--db", db});
        EXPECT_EQ(found.status, 1);
        EXPECT_EQ(found.out, edited);
        storeTrainsInFolder(db, scale, QString::fromStdString(ini), {});
    }
    // The settings file named where the program folder is not above the tables.
    const std::string elsewhere = (dir / "elsewhere").string();
    QDir().mkpath(QString::fromStdString(elsewhere));
    EXPECT_EQ(run({"check-records", "--db", elsewhere, "--ini", ini}).out, edited);

    const QString seal = sealPathsBeside(QString::fromStdString(ini)).calibration;
    ASSERT_TRUE(QFile::remove(seal));
    const ToolRun missing = run({"check-records", "--db", db});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(QString::fromStdString(missing.out), QStringLiteral("Калибровка не опечатана: нет файла %1\n").arg(seal));
}

}  // namespace
}  // namespace zv
