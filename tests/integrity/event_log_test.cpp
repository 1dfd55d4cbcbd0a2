#include "integrity/event_kinds.h"
#include "integrity/settings_changes.h"
#include "integrity_fixture.h"
#include "records/table.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <functional>

namespace zv {
namespace {

class EventLogTest : public ::testing::Test, protected test::IntegrityFixture {};

TEST_F(EventLogTest, IsMadeWithAMessageWhenMissingAndKeepsEventsToldBeforeItOpened) {
    open();  // the tables of a folder in use; their log is missing
    records.reset();
    open();
    integrity = std::make_unique<RecordsIntegrity>(*records, notifier, settingsFile);
    Events::install(integrity.get());
    Events::record(event_kind::StartUp, QStringLiteral("ZOLVelt"));
    integrity->tablesOpened();
    EXPECT_TRUE(notifier.messages.contains("Не найден журнал событий!\r\nБудет создан новый журнал событий"));
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("Events.db"))));
    const QList<Event> all = integrity->log().read({});
    ASSERT_GE(all.size(), 2);
    EXPECT_EQ(all[0].kind, event_kind::StartUp);
    EXPECT_EQ(all[0].time, clock.time);
    EXPECT_EQ(all[1].kind, event_kind::TableCreated);
    EXPECT_EQ(all[1].n, all[0].n + 1);
}

TEST_F(EventLogTest, FiltersByDateRangeAndKindAndCountsCalibrations) {
    start();
    integrity->log().setOperator(QStringLiteral("Иванов"));
    for (int day = 8; day <= 10; ++day) {
        clock.time = QDateTime(QDate(2026, 12, day), QTime(9, 0));
        Events::record(event_kind::Calibration, QStringLiteral("Калибровка"));
        Events::record(event_kind::ShiftChange, QStringLiteral("Иванов"));
    }
    const QList<Event> ninth = integrity->log().read({QDate(2026, 12, 9), QDate(2026, 12, 9), event_kind::Calibration});
    ASSERT_EQ(ninth.size(), 1);
    EXPECT_EQ(ninth[0].time.date(), QDate(2026, 12, 9));
    EXPECT_EQ(ninth[0].operatorName, "Иванов");
    EXPECT_EQ(integrity->log().read({QDate(2026, 12, 10), {}, {}}).size(), 2);
    EXPECT_EQ(integrity->log().countOf(event_kind::Calibration), 3);
    EXPECT_EQ(integrity->log().lastOf(event_kind::Calibration)->time.date(), QDate(2026, 12, 10));
}

TEST_F(EventLogTest, LogsEveryChangedSettingWithOldAndNewValueAndTheCalibrationInPlainNumbers) {
    start();
    auto write = [this](const QByteArray& text) {
        QFile f(settingsFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("[Scales]\r\nNadc=2\r\nL1=100\r\n[Common]\r\nUser=\xc8\xe2\xe0\xed\r\n");
    const SettingsChanges changes(settingsFile);
    write("[Scales]\r\nNadc=3\r\nL1=100\r\nL2=7\r\n[Common]\r\nUser=\xcf\xe5\xf2\xf0\r\n");
    Settings saved;
    saved.a0[0] = 1234;
    saved.ak[0] = 56789;
    changes.record(saved, true);

    EXPECT_EQ(told(event_kind::SettingChanged),
              (QStringList{"Common/User | Иван -> Петр", "Scales/L2 | 4690 -> 7", "Scales/Nadc | 2 -> 3"}));
    const QList<Event> calibration = events(event_kind::Calibration);
    ASSERT_EQ(calibration.size(), 1);
    EXPECT_TRUE(calibration[0].newValue.startsWith("a0: 1234, 0, ")) << calibration[0].newValue.toStdString();
    EXPECT_TRUE(calibration[0].newValue.contains("ak: 56789, 0")) << calibration[0].newValue.toStdString();
}

// The weighing method changes every weight as a calibration does: the counter counts it.
TEST_F(EventLogTest, AChangeOfTheWeighingMethodCountsAsACalibration) {
    start();
    auto save = [this](const QByteArray& text, bool calibration) {
        const SettingsChanges changes(settingsFile);
        QFile f(settingsFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        changes.record(Settings{}, calibration);
    };
    save("[Scales]\r\nWeighMethod=0\r\n", false);
    save("[Scales]\r\nWeighMethod=1\r\n", false);
    save("[Scales]\r\nWeighMethod=1\r\nWmax=150000\r\n", false);  // not a calibration
    EXPECT_EQ(told(event_kind::Calibration), QStringList{"Scales/WeighMethod | 0 -> 1"});
    save("[Scales]\r\nWeighMethod=0\r\nWmax=150000\r\n", true);  // with the calibration: once
    EXPECT_EQ(integrity->log().countOf(event_kind::Calibration), 2);
}

// A file that lacks most keys runs on their defaults: a save that writes those defaults has
// changed nothing, and only what was really changed is logged.
TEST_F(EventLogTest, ASaveThatWritesTheDefaultsOfMissingKeysLogsOnlyTheRealChanges) {
    start();
    {
        QFile f(settingsFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Scales]\r\nNadc=2\r\n");
    }
    const std::string folder = (programDir + u'/').toStdString();
    auto save = [&](const std::function<void(Settings&)>& edit) {
        Settings running;
        SettingsEffects none;
        readIniFile(settingsFile.toStdString(), running, none);
        edit(running);
        const SettingsChanges changes(settingsFile);
        ASSERT_TRUE(saveIni(folder, ".ini", running, CalibrationKeys::Keep, none));
        changes.record(running, false);
    };
    save([](Settings&) {});
    EXPECT_EQ(told(event_kind::SettingChanged), QStringList{});
    EXPECT_TRUE(settingsValues(settingsFile).contains("Common/Vmax"));  // the save did write them
    save([](Settings& s) { s.Vmax = 12; });
    EXPECT_EQ(told(event_kind::SettingChanged), QStringList{"Common/Vmax | 10 -> 12"});
}

TEST_F(EventLogTest, GoesIntoTheArchiveWithItsBook) {
    start();
    const QString archive = QDir(programDir).filePath(QStringLiteral("ZOL_arch/Book[11.2026]"));
    QDir().mkpath(archive);
    Events::bookArchived(QStringLiteral("Book[11.2026]"), archive);
    EXPECT_TRUE(QFile::exists(QDir(archive).filePath(QStringLiteral("Events.db"))));
    EXPECT_EQ(told(event_kind::BookArchived), QStringList{"Book[11.2026] |  -> архив " + archive + " с журналом событий"});
}

TEST_F(EventLogTest, TheLogsOwnRowsAreSealed) {
    start();
    Events::record(event_kind::ShiftChange, QStringLiteral("Иванов"));
    Events::record(event_kind::ShiftChange, QStringLiteral("Петров"));
    stop();
    sql(QStringLiteral("Events.db"), QStringLiteral("UPDATE Events SET Subject='Сидоров' WHERE Subject='Петров'"));
    start();
    const QStringList found = findings();
    ASSERT_EQ(found.size(), 1);
    EXPECT_TRUE(found[0].startsWith("Журнал событий: изменена запись ")) << found[0].toStdString();
}

}  // namespace
}  // namespace zv
