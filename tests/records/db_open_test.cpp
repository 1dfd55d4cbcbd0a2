#include "records_fixture.h"

#include "records/schema.h"
#include "records/table_error.h"

#include <QFile>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zv {
namespace {

using ::testing::ElementsAre;

const char* const kLoadsMissing = "Не найдена таблица \"Грузы\"!\r\nИнформация о грузах утеряна\r\nБудет создана новая пустая таблица";
const char* const kStationsMissing =
    "Не найдена таблица \"Станции\"!\r\nИнформация о станциях утеряна\r\nБудет создана новая пустая таблица";
const char* const kClientsMissing =
    "Не найдена таблица \"Клиенты\"!\r\nИнформация о получателях/отправителях грузов утеряна\r\nБудет создана новая пустая таблица";
const char* const kBasesMissing =
    "Не найдена таблица \"Базы вагонов\"!\r\nИнформация о базах вагонов утеряна\r\nБудет создана новая пустая таблица";
const char* const kNamesMissing = "Не найдена таблица \"Операторы весов\"!\r\nБудет создана новая пустая таблица";
const char* const kTrainsMissing = "Не найдена таблица \"Составы\"!\r\nБудет создана новая пустая таблица";
const char* const kWagonsMissing = "Не найдена таблица \"Вагоны на территории\"!\r\nБудет создана новая пустая таблица";

std::vector<std::string> texts(const QStringList& messages) {
    std::vector<std::string> result;
    for (const QString& m : messages) result.push_back(m.toStdString());
    return result;
}

QList<QVariantList> rowsOf(Table& table) {
    QList<QVariantList> rows;
    for (const Row& row : table.readFilteredRows()) {
        QVariantList values;
        for (const FieldDef& f : table.def().fields) values.append(row.value(f.name));
        rows.append(values);
    }
    return rows;
}

QDateTime at(int minute) { return QDateTime(QDate(2026, 12, 9), QTime(9, minute)); }

// A folder without any table is a new installation's: one message, not one per table.
TEST(DBOpen, OnAnEmptyFolderCreatesEverythingWithOneMessage) {
    test::RecordsFixture f;
    RecordsDatabase& r = f.open();
    EXPECT_THAT(texts(f.notifier.messages),
                ElementsAre(QStringLiteral("В папке %1 не было таблиц базы данных.\r\nДля новой установки созданы новые "
                                           "пустые таблицы и весовая книга.")
                                .arg(QDir::toNativeSeparators(f.dbDir()))
                                .toStdString()));

    EXPECT_EQ(rowsOf(r.Loads()), (QList<QVariantList>{{0, QStringLiteral("Без груза")}, {1, QStringLiteral("Прочие грузы")}}));
    EXPECT_EQ(rowsOf(r.Stations()), (QList<QVariantList>{{0, QStringLiteral("Прочие")}, {1, QStringLiteral("Станция 1")}}));
    EXPECT_EQ(rowsOf(r.Clients()), (QList<QVariantList>{{0, QStringLiteral("Прочие")}, {1, QStringLiteral("ООО Клиент 1")}}));
    EXPECT_EQ(rowsOf(r.BasesW()), (QList<QVariantList>{{QStringLiteral("12-1000"), 8650, QStringLiteral("Полувагон")},
                                                      {QStringLiteral("13-401"), 9720, QStringLiteral("Платформа")}}));
    for (Table* t : {&r.Names(), &r.Trains(), &r.Wagons(), &r.Book()}) {
        EXPECT_TRUE(t->isOpen());
        t->setFiltered(false);
        EXPECT_TRUE(t->isEmpty()) << t->def().name.toStdString();
    }
    EXPECT_TRUE(QFile::exists(QDir(f.dbDir()).filePath(QStringLiteral("Book[12.2026].db"))));
    EXPECT_EQ(r.selectedTrain(), 1);
    EXPECT_EQ(r.Trains().filter(), QStringLiteral("Train=1"));
}

// The runs of an installed program share the tables through the records group, each with the
// account of its operator; the installed templates are rw-r--r--, the tables must not be.
TEST(DBOpen, TheTablesItMakesAreWritableByTheGroupAndHiddenFromOthers) {
    test::RecordsFixture f;
    const QFileDevice::Permissions readOnlyForOthers = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                       QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                       QFileDevice::ReadGroup | QFileDevice::ReadOther;
    for (const TableTemplate& t : tableTemplates())
        ASSERT_TRUE(QFile::setPermissions(QDir(f.programDir).filePath(t.fileName), readOnlyForOthers));
    f.open();
    const QStringList tables = QDir(f.dbDir()).entryList({QStringLiteral("*.db")}, QDir::Files);
    EXPECT_EQ(tables.size(), 8);
    for (const QString& name : tables) {
        const QFileDevice::Permissions p = QFile::permissions(QDir(f.dbDir()).filePath(name));
        EXPECT_TRUE(p & QFileDevice::WriteGroup) << name.toStdString();
        EXPECT_FALSE(p & (QFileDevice::WriteOther | QFileDevice::ReadOther)) << name.toStdString();
    }
}

TEST(DBOpen, TheCreatedDictionariesCarryNoPasswordTheCopiedTablesTheTablePassword) {
    test::RecordsFixture f;
    f.open();
    f.records.reset();
    Database db;
    db.setFolder(f.dbDir());
    Table loads(db, schema::loads());
    EXPECT_NO_THROW(loads.open());
    Table wagons(db, schema::wagons());
    EXPECT_THROW(wagons.open(), TableError);
    db.addPassword(schema::kTablePassword);
    EXPECT_NO_THROW(wagons.open());
}

// Tables gone from a folder that holds the others are each told of, in the order they open;
// a book of any month makes the folder one in use.
TEST(DBOpen, TablesMissingFromAFolderInUseAreEachToldOf) {
    test::RecordsFixture f;
    f.open();
    f.records.reset();
    for (const char* name : {"Loads.db", "Stations.db", "Clients.db", "BasesW.db", "Names.db", "Trains.db", "Wagons.db"})
        ASSERT_TRUE(QFile::remove(QDir(f.dbDir()).filePath(QString::fromLatin1(name))));
    ASSERT_TRUE(QFile::rename(QDir(f.dbDir()).filePath(QStringLiteral("Book[12.2026].db")),
                              QDir(f.dbDir()).filePath(QStringLiteral("Book[11.2026].db"))));
    f.notifier.messages.clear();
    f.open();
    EXPECT_THAT(texts(f.notifier.messages),
                ElementsAre(kLoadsMissing, kStationsMissing, kClientsMissing, kBasesMissing, kNamesMissing, kTrainsMissing,
                            kWagonsMissing, "Будет создана новая весовая книга на Декабрь 2026\r\nBook[12.2026].db"));
}

TEST(DBOpen, InANewMonthCreatesOnlyTheNewBook) {
    test::RecordsFixture f;
    f.open();
    f.records.reset();
    f.notifier.messages.clear();
    f.clock.time = QDateTime(QDate(2027, 1, 2), QTime(0, 5));
    f.open();
    EXPECT_THAT(texts(f.notifier.messages), ElementsAre("Будет создана новая весовая книга на Январь 2027\r\nBook[01.2027].db"));
    EXPECT_TRUE(QFile::exists(QDir(f.dbDir()).filePath(QStringLiteral("Book[12.2026].db"))));
    EXPECT_EQ(f.records->Book().fileName(), QStringLiteral("Book[01.2027].db"));
}

TEST(DBOpen, FallsBackToTheDefaultFolderWhenTheFolderCannotBeCreated) {
    test::RecordsFixture f;
    f.settings.Path = QDir(f.programDir).filePath(QStringLiteral("no/such/DB2/")).toStdString();
    RecordsDatabase& r = f.open();
    ASSERT_FALSE(f.notifier.messages.isEmpty());
    EXPECT_EQ(f.notifier.messages.first().toStdString(),
              "Место расположения базы данных недоступно!\r\nУстанавлено расположение по умолчанию.");
    EXPECT_EQ(QDir(r.connection().folder()), QDir(f.dbDir()));
    EXPECT_TRUE(r.Trains().isOpen());
    EXPECT_EQ(QDir(QString::fromStdString(f.settings.Path)), QDir(f.dbDir())) << "the next save writes the folder in use";
}

TEST(DBOpen, CreatesAMissingFolderOneLevelDeep) {
    test::RecordsFixture f;
    f.settings.Path = QDir(f.programDir).filePath(QStringLiteral("Tables")).toStdString();
    RecordsDatabase& r = f.open();
    EXPECT_EQ(f.notifier.messages.size(), 1);
    EXPECT_TRUE(QFile::exists(QDir(f.programDir).filePath(QStringLiteral("Tables/Trains.db"))));
    EXPECT_TRUE(r.Book().isOpen());
}

TEST(DBOpen, AgainSelectsTheLatestTrainAndSaysNothing) {
    test::RecordsFixture f;
    RecordsDatabase& r = f.open();
    Table& trains = r.Trains();
    trains.insertRecord({5, at(1), QVariant(), 1000, 0, 0, 0, 0, 1});
    trains.insertRecord({4, at(0), QVariant(), 1000, 0, 0, 0, 0, 1});
    trains.insertRecord({5, at(2), QVariant(), 1000, 0, 0, 0, 0, 1});
    f.notifier.messages.clear();

    r.DBOpen();
    EXPECT_TRUE(f.notifier.messages.isEmpty());
    EXPECT_EQ(r.selectedTrain(), 5);
    EXPECT_EQ(trains.filter(), QStringLiteral("Train=5"));
    EXPECT_TRUE(trains.filtered());
    EXPECT_EQ(r.DSouT().rowCount(), 2);

    f.records.reset();  // a restart finds the same
    f.open();
    EXPECT_TRUE(f.notifier.messages.isEmpty());
    EXPECT_EQ(f.records->selectedTrain(), 5);
}

TEST(Templates, AreEmptyProtectedTablesAndReplaceOlderFiles) {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    QFile old(QDir(folder).filePath(QStringLiteral("t.ttb")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older template in another format");
    old.close();
    writeTemplates(folder);

    Database db;
    db.setFolder(folder);
    for (const TableTemplate& t : tableTemplates()) {
        Table table(db, t.def);
        table.setFileName(t.fileName);
        db.clearPasswords();
        EXPECT_THROW(table.open(), TableError) << t.fileName.toStdString();
        db.addPassword(schema::kTablePassword);
        table.open();
        EXPECT_TRUE(table.isEmpty()) << t.fileName.toStdString();
    }
}

TEST(DBOpen, AMissingTemplateFailsWithTheEnginesError) {
    test::RecordsFixture f;
    f.open();
    f.records.reset();
    QFile::remove(QDir(f.dbDir()).filePath(QStringLiteral("Trains.db")));
    QFile::remove(QDir(f.programDir).filePath(QStringLiteral("t.ttb")));
    EXPECT_THROW(f.open(), TableError);
    EXPECT_EQ(f.notifier.messages.last().toStdString(), kTrainsMissing);
    EXPECT_TRUE(f.records->Names().isOpen());
    EXPECT_FALSE(f.records->Trains().isOpen());
}

}  // namespace
}  // namespace zv
