// zolvelt-tool identify and check-records on real files.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sstream>

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

// A tables folder "DB" in a program folder with its key, and Trains sealed by hand.
TEST(CheckRecordsCommand, ExitsWithOneAndNamesTheRowChangedBehindTheSeals) {
    test::TempDir dir;
    const QString programFolder = QString::fromStdString(dir.path().string());
    QDir(programFolder).mkdir("DB");
    const QString db = QDir(programFolder).filePath("DB");
    QString error;
    const SealPaths beside = sealPathsBeside(QDir(programFolder).filePath("ZOLVelt.ini"));
    const QByteArray key = loadOrCreateSealKey(beside.key, &error);
    ASSERT_FALSE(key.isEmpty()) << error.toStdString();
    // The calibration the program, started on this folder, would have sealed: the defaults.
    ASSERT_TRUE(writeCalibrationSeal(beside.calibration, key, *calibrationValuesOf(QDir(programFolder).filePath("ZOLVelt.ini"))));
    {
        Database connection;
        connection.setFolder(db);
        Table trains(connection, schema::trains());
        trains.create();
        trains.open();
        for (int i = 0; i < 3; ++i)
            trains.insertRecord({1, QDateTime(QDate(2026, 12, 9), QTime(10, i)), QVariant(), 1000 * (i + 1), 0, 0, 0, 0, 1});
        seals::sealExistingRows(trains.sqliteFile(), key, "Trains");
    }
    EXPECT_EQ(run({"check-records", "--db", db.toStdString()}).status, 0);
    {
        SqliteFile file;
        file.open(QDir(db).filePath("Trains.db"), false);
        file.exec("UPDATE Trains SET Weight=5 WHERE rowid=3");
    }
    const ToolRun found = run({"check-records", "--db", db.toStdString()});
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, "Таблица Trains: изменена запись 3\n");
    // Once the heads beside the key remember the file, its removal is named too.
    const QString trains = QFileInfo(QDir(db).filePath("Trains.db")).canonicalFilePath();
    SealHeads heads(sealPathsBeside(QDir(programFolder).filePath("ZOLVelt.ini")).heads, key);
    {
        SqliteFile file;
        file.open(trains, false);
        const std::optional<seals::SealEntry> last = seals::lastEntry(file);
        ASSERT_TRUE(last);
        heads.setHead(trains, SealHead{last->n, last->seal});
    }
    ASSERT_TRUE(heads.save());
    QFile::remove(trains);
    const ToolRun gone = run({"check-records", "--db", db.toStdString()});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "Таблица Trains: файл удален\n");
    EXPECT_EQ(run({"check-records", "--db", db.toStdString(), "--key", (dir / "none").string()}).status, 2);
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
