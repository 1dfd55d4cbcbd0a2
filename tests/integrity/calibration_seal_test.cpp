// The calibration sealed: values written into the settings file behind the program's back are a
// finding, counted as a calibration and logged with their old and new values.
#include "integrity/calibration_seal.h"

#include <gtest/gtest.h>

#include <functional>

#include "integrity/calibration_counter.h"
#include "integrity/event_kinds.h"
#include "integrity_fixture.h"
#include "settings/settings_file.h"
#include "support/calibration_by_hand.h"
#include "support/test_scale.h"

namespace zv {
namespace {

const QString kEdited =
    QStringLiteral("Калибровка изменена в обход программы: ak[0] 2000000 → 1900000");

class CalibrationSealTest : public ::testing::Test, protected test::IntegrityFixture {
  protected:
    CalibrationSealTest() {
        SettingsEffects none;
        saveIni(programDir.toStdString() + "/", ".ini", test::scaleSettings(1, 1),
                CalibrationKeys::Write, none);
    }
    QString sealFile() const { return sealPathsBeside(settingsFile).calibration; }
    QStringList outstanding() {
        integrity->check();
        return integrity->outstanding();
    }
    int count(const QString& kind) { return static_cast<int>(events(kind).size()); }
};

TEST_F(CalibrationSealTest,
       ACoefficientEditedByHandIsReportedOnceCountedAndBecomesTheReferenceWhenAcknowledged) {
    start();
    EXPECT_TRUE(outstanding().isEmpty());
    stop();
    test::setCoefficientByHand(settingsFile.toStdString(), 0, 1900000);

    start();
    EXPECT_EQ(outstanding(), QStringList{kEdited});
    EXPECT_EQ(
        told(event_kind::Calibration),
        QStringList{"Калибровка изменена в обход программы | ak[0] 2000000 -> ak[0] 1900000"});
    EXPECT_EQ(calibrationCounter(integrity->log()).count, 1);
    // Every weight is in doubt: the reports of each table carry it.
    EXPECT_EQ(integrity->outstandingFor("Trains.db"), QStringList{kEdited});
    EXPECT_EQ(integrity->outstandingFor(records->Book().fileName()), QStringList{kEdited});

    // Outstanding at the next start, but neither logged nor counted again.
    stop();
    start();
    EXPECT_EQ(outstanding(), QStringList{kEdited});
    EXPECT_EQ(count(event_kind::IntegrityFinding), 1);
    EXPECT_EQ(count(event_kind::Calibration), 1);

    integrity->acknowledge();
    EXPECT_TRUE(outstanding().isEmpty());
    const CalibrationSeal seal =
        readCalibrationSeal(sealFile(), loadSealKey(sealPathsBeside(settingsFile).key));
    ASSERT_EQ(seal.state, CalibrationSeal::State::Intact);
    EXPECT_TRUE(seal.values.contains(SealedValue{"ak[0]", "1900000"}));

    // A further edit is a new finding against the acknowledged values.
    test::setCoefficientByHand(settingsFile.toStdString(), 0, 2000000);
    EXPECT_EQ(outstanding(),
              QStringList{"Калибровка изменена в обход программы: ak[0] 1900000 → 2000000"});
    EXPECT_EQ(count(event_kind::Calibration), 2);
}

// Every value that makes a weight is compared, as the program reads it: a key added to the file
// by hand with a value other than its default is a change too.
TEST_F(CalibrationSealTest, EachWeightParameterWrittenByHandIsNamedWithItsOldAndNewValue) {
    start();
    stop();
    {
        IniFile ini = IniFile::load(settingsFile.toStdString());
        ini.writeInteger("Scales", "kd", 990000);
        ini.writeInteger("Scales", "WeighMethod", 1);
        ini.writeInteger("Common", "Vmax", 15);
        ini.writeInteger("Scales", "b1", 1700);  // the centre-of-gravity geometry makes no weight
        ASSERT_FALSE(ini.save());
    }
    start();
    EXPECT_EQ(
        outstanding(),
        QStringList{"Калибровка изменена в обход программы: kd 1000000 → 990000, Vmax 10 → 15, "
                    "WeighMethod 0 → 1"});
    EXPECT_EQ(
        told(event_kind::Calibration),
        QStringList{"Калибровка изменена в обход программы | kd 1000000, Vmax 10, WeighMethod 0 -> "
                    "kd 990000, Vmax 15, WeighMethod 1"});
}

// A fresh installation seals its calibration as it starts; later the seal removed or edited is a
// finding, and the settings are never sealed again without the engineer.
TEST_F(CalibrationSealTest, ASealRemovedOrEditedIsAFindingOnlyOnceTheInstallationIsSealed) {
    start();
    ASSERT_TRUE(QFile::exists(sealFile()));
    EXPECT_TRUE(outstanding().isEmpty());
    stop();
    struct Case {
        const char* name;
        std::function<void(const QString&)> damage;
        QString finding;
    };
    const QString path = sealFile();
    const Case cases[] = {
        {"removed", [](const QString& seal) { QFile::remove(seal); },
         QStringLiteral("Калибровка не опечатана: нет файла %1").arg(path)},
        {"edited",
         [](const QString& seal) {
             QFile file(seal);
             ASSERT_TRUE(file.open(QIODevice::ReadOnly));
             const QByteArray text = file.readAll().replace("ak[0]=2000000", "ak[0]=1900000");
             file.close();
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(text);
         },
         QStringLiteral("Печать калибровки %1 изменена в обход программы").arg(path)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.damage(path);
        start();
        EXPECT_EQ(outstanding(), QStringList{c.finding});
        EXPECT_EQ(count(event_kind::Calibration), 0);  // nothing is known to have changed
        integrity->acknowledge();
        EXPECT_TRUE(outstanding().isEmpty());
        stop();
    }
}

}  // namespace
}  // namespace zv
