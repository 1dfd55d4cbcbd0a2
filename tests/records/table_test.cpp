#include "records/database.h"
#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"
#include "support/temp_dir.h"

#include <sqlite3.h>

#include <QFile>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zv {
namespace {

using ::testing::HasSubstr;

QDateTime at(int minute, int ms = 0) { return QDateTime(QDate(2026, 12, 9), QTime(10, minute, 0, ms)); }

class TableTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Database db;
    std::unique_ptr<Table> trains;

    void SetUp() override {
        db.setFolder(QString::fromStdString(dir.path().string()));
        trains = std::make_unique<Table>(db, schema::trains());
        trains->create();
        trains->open();
    }

    // Rows (train, minute): the key order is the minute.
    void addRows(std::initializer_list<std::pair<int, int>> rows) {
        for (auto [train, minute] : rows) trains->insertRecord({train, at(minute), QVariant(), 1000, 0, 0, 0, 0, 1});
    }

    QList<int> walk() {
        QList<int> minutes;
        for (trains->first(); !trains->eof(); trains->next())
            minutes.append(trains->value(QStringLiteral("Time")).toDateTime().time().minute());
        return minutes;
    }
};

TEST_F(TableTest, NavigatesInKeyOrderWithinTheFilter) {
    addRows({{2, 30}, {1, 10}, {2, 20}, {3, 40}, {1, 5}});
    EXPECT_EQ(walk(), (QList<int>{5, 10, 20, 30, 40}));

    trains->setFilter(QStringLiteral("Train=2"));
    EXPECT_EQ(trains->value(QStringLiteral("Time")).toDateTime(), at(40)) << "filter off: the expression alone moves nothing";
    EXPECT_EQ(trains->recordCount(), 5);
    trains->setFiltered(true);
    EXPECT_EQ(trains->value(QStringLiteral("Time")).toDateTime(), at(20)) << "switching on moves to the first row";
    EXPECT_EQ(walk(), (QList<int>{20, 30}));
    EXPECT_EQ(trains->recordCount(), 2);

    trains->setFilter(QStringLiteral("Train>1"));
    EXPECT_EQ(trains->value(QStringLiteral("Time")).toDateTime(), at(20)) << "a new expression moves to its first row";
    trains->last();
    EXPECT_TRUE(trains->eof());
    EXPECT_EQ(trains->toInt(QStringLiteral("Train")), 3);
    trains->prior();
    trains->prior();
    trains->prior();
    EXPECT_TRUE(trains->bof());
    EXPECT_EQ(trains->value(QStringLiteral("Time")).toDateTime(), at(20));

    trains->setFilter(QStringLiteral("Train=9"));
    EXPECT_TRUE(trains->isEmpty());
    EXPECT_TRUE(trains->eof() && trains->bof());
    EXPECT_TRUE(trains->isNull(QStringLiteral("Train")));
}

TEST_F(TableTest, ABadFilterChangesNothing) {
    addRows({{1, 1}, {2, 2}});
    trains->setFilter(QStringLiteral("Train=2"));
    trains->setFiltered(true);
    EXPECT_THROW(trains->setFilter(QStringLiteral("Train=2 or")), TableError);
    EXPECT_EQ(trains->filter(), QStringLiteral("Train=2"));
    EXPECT_EQ(trains->recordCount(), 1);
}

TEST_F(TableTest, DeletionMovesToTheNextRowOrTheLastOne) {
    addRows({{1, 1}, {1, 2}, {2, 3}, {1, 4}});
    trains->setFilter(QStringLiteral("Train=1"));
    trains->setFiltered(true);
    trains->next();
    trains->remove();  // minute 2
    EXPECT_EQ(trains->value(QStringLiteral("Time")).toDateTime(), at(4)) << "next row of the filtered set";
    trains->remove();  // minute 4, the last
    EXPECT_EQ(trains->value(QStringLiteral("Time")).toDateTime(), at(1));
    trains->remove();
    EXPECT_TRUE(trains->isEmpty());
    EXPECT_THROW(trains->remove(), TableError);
    trains->setFiltered(false);
    EXPECT_EQ(trains->recordCount(), 1);
}

TEST_F(TableTest, FindKeyPositionsOnTheRow) {
    addRows({{1, 1}, {2, 2}, {3, 3}});
    EXPECT_TRUE(trains->findKey(at(2)));
    EXPECT_EQ(trains->toInt(QStringLiteral("Train")), 2);
    EXPECT_FALSE(trains->findKey(at(2, 1)));
    EXPECT_EQ(trains->toInt(QStringLiteral("Train")), 2) << "a failed search leaves the cursor";
}

TEST_F(TableTest, RefusesValuesOutsideRangeTypeOrSizeNamingFieldAndValue) {
    addRows({{1, 1}});
    trains->edit();
    struct Refusal {
        const char* field;
        QVariant value;
        const char* message;
    };
    const Refusal refusals[] = {
        {"Direc", 2, "Direc: значение 2 вне допустимого диапазона 0..1"},
        {"Note", 7, "Note: значение 7"},
        {"Note", -1, "Note: значение -1"},
        {"Axle", 9, "Axle: значение 9 вне допустимого диапазона 2..8"},
        {"Axle", 1, "Axle: значение 1"},
        {"Train", 32768, "Train: значение 32768"},
        {"Weight", QStringLiteral("12a"), "Weight: \"12a\" не является целым числом"},
        {"Wagon", QStringLiteral("123456789"), "Wagon: текст \"123456789\" длиннее 8 символов"},
        {"Time", QStringLiteral("вчера"), "Time: \"вчера\" не является датой"},
        {"WeiL0", 1, "WeiL0 нельзя изменить"},
    };
    for (const Refusal& r : refusals) {
        try {
            trains->setValue(QString::fromUtf8(r.field), r.value);
            ADD_FAILURE() << "accepted " << r.field;
        } catch (const TableError& e) {
            EXPECT_THAT(e.what(), HasSubstr(r.message));
        }
    }
    trains->setValue(QStringLiteral("Axle"), 8);
    trains->setValue(QStringLiteral("Weight"), 60328.5);  // reals round halves to even
    trains->setValue(QStringLiteral("Wagon"), QStringLiteral("12345678"));
    trains->post();
    EXPECT_EQ(trains->toInt(QStringLiteral("Axle")), 8);
    EXPECT_EQ(trains->toInt(QStringLiteral("Weight")), 60328);
    EXPECT_EQ(trains->value(QStringLiteral("Wagon")).toString(), QStringLiteral("12345678"));
    EXPECT_EQ(trains->toInt(QStringLiteral("Direc")), 0) << "refused values left the row as it was";

    EXPECT_THROW(trains->insertRecord({1, at(5), QVariant(), 1000, 0, 0, 0, 0, 1, 9}), TableError);
    EXPECT_EQ(trains->recordCount(), 1) << "a refused insertion writes nothing";
}

TEST_F(TableTest, RequiredFieldsAreCheckedWhenAnEditIsPosted) {
    trains->insertValues({{QStringLiteral("Train"), 4}, {QStringLiteral("Time"), at(1)}});  // static marker: no checks
    trains->edit();
    trains->setValue(QStringLiteral("Wagon"), QStringLiteral("5"));
    EXPECT_THAT([&] { trains->post(); }, ::testing::ThrowsMessage<TableError>(HasSubstr("Direc должно иметь значение")));
    EXPECT_EQ(trains->state(), Table::State::Edit);
    trains->cancel();
    EXPECT_TRUE(trains->isNull(QStringLiteral("Wagon")));
}

// Edits that cannot be posted do not keep their tables, or the tables after them, open.
TEST_F(TableTest, ClosingEveryTableClosesThemAllAndReportsEachRefusedEdit) {
    Table wagons(db, schema::wagons());
    wagons.create();
    wagons.open();
    // New rows without their keys (Time, Wagon).
    trains->edit();
    trains->setValue(QStringLiteral("Wagon"), QStringLiteral("5"));
    wagons.edit();
    wagons.setValue(QStringLiteral("Doc"), QStringLiteral("D-1"));
    try {
        db.closeAll();
        ADD_FAILURE() << "the refused edits were not reported";
    } catch (const TableError& e) {
        EXPECT_EQ(e.message().count(QStringLiteral("\n")), 1) << e.message().toStdString();
    }
    EXPECT_FALSE(trains->isOpen());
    EXPECT_FALSE(wagons.isOpen());
}

TEST_F(TableTest, KeysMustBePresentAndUnique) {
    addRows({{1, 1}});
    EXPECT_THAT([&] { addRows({{2, 1}}); }, ::testing::ThrowsMessage<TableError>(HasSubstr("уже есть запись с ключом Time")));
    EXPECT_THAT([&] { trains->insertRecord({3}); }, ::testing::ThrowsMessage<TableError>(HasSubstr("Time (ключ таблицы Trains)")));
    EXPECT_EQ(trains->recordCount(), 1);
}

TEST_F(TableTest, EditingAnEmptySetStartsANewRowAndNavigationPostsIt) {
    trains->edit();
    EXPECT_EQ(trains->state(), Table::State::Insert);
    trains->setValue(QStringLiteral("Train"), 7);
    trains->setValue(QStringLiteral("Time"), at(3));
    trains->first();
    EXPECT_EQ(trains->state(), Table::State::Browse);
    EXPECT_EQ(trains->toInt(QStringLiteral("Train")), 7);
}

TEST_F(TableTest, BookNumbersItsRowsItself) {
    Table book(db, schema::book());
    book.setFileName(QStringLiteral("Book[12.2026].db"));
    book.create();
    book.open();
    book.insertValues({{QStringLiteral("Wagon"), QStringLiteral("1")}});
    book.insert();
    book.setValue(QStringLiteral("Wagon"), QStringLiteral("2"));
    book.post();
    EXPECT_EQ(book.toInt(QStringLiteral("N")), 2);
    book.remove();
    book.insertValues({{QStringLiteral("Wagon"), QStringLiteral("3")}});
    EXPECT_EQ(book.toInt(QStringLiteral("N")), 3) << "numbers are never reused";
    book.edit();
    EXPECT_THROW(book.setValue(QStringLiteral("N"), 10), TableError);
}

TEST_F(TableTest, GuardedStepsOfABatchRollBackAloneAndTheFlushCommits) {
    trains->beginBatch();
    EXPECT_TRUE(trains->runGuarded([&] { addRows({{1, 1}}); }));
    QString error;
    EXPECT_FALSE(trains->runGuarded([&] { addRows({{1, 2}, {1, 3}}); trains->insertRecord({1, at(4), QVariant(), 0, 0, 0, 0, 0, 1, 1}); }, &error));
    EXPECT_THAT(error.toStdString(), HasSubstr("Axle"));
    EXPECT_TRUE(trains->runGuarded([&] { addRows({{1, 5}}); }));
    EXPECT_TRUE(trains->inBatch());
    trains->flush();
    EXPECT_FALSE(trains->inBatch());
    trains->close();
    trains->open();
    EXPECT_EQ(walk(), (QList<int>{1, 5}));
}

TEST_F(TableTest, FileNamesAreMatchedWithoutLetterCase) {
    addRows({{1, 1}});
    trains->close();
    Table other(db, schema::trains());
    other.setFileName(QStringLiteral("TRAINS.DB"));
    EXPECT_TRUE(other.exists());
    other.open();
    EXPECT_EQ(other.recordCount(), 1);
    EXPECT_THROW(other.create(), TableError) << "never overwrites";
}

TEST_F(TableTest, TheFileShowsTheFieldNamesToStandardTools) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(trains->filePath().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT sql FROM sqlite_master WHERE name='Trains'", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(raw);
    for (const char* field : {"Train", "Time", "Wagon", "Weight", "Wei1", "Wei2", "Wei3", "Direc", "Note", "Axle",
                              "Speed", "BaseW", "BaseB", "WeiL", "DisS"})
        EXPECT_THAT(sql, HasSubstr(std::string("\"") + field + "\"")) << sql;
    EXPECT_THAT(sql, ::testing::Not(HasSubstr("WeiL0"))) << "calculated fields are not stored";
}

TEST_F(TableTest, ADamagedOrForeignFileIsRefused) {
    trains->close();
    QFile file(trains->filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("this is not a table at all, just text that happens to be long enough");
    file.close();
    EXPECT_THROW(trains->open(), TableError);
    EXPECT_FALSE(trains->isOpen());

    Table loads(db, schema::loads());
    loads.setFileName(QStringLiteral("Trains2.db"));
    Table wrong(db, schema::names());
    wrong.setFileName(QStringLiteral("Trains2.db"));
    loads.create();
    EXPECT_THAT([&] { wrong.open(); }, ::testing::ThrowsMessage<TableError>(HasSubstr("повреждена: нет поля N")));
}

TEST(TablePassword, AProtectedTableOpensOnlyWithARegisteredPassword) {
    test::TempDir dir;
    Database db;
    db.setFolder(QString::fromStdString(dir.path().string()));
    Table names(db, schema::names());
    names.create(schema::kTablePassword);

    db.addPassword(schema::kDictionaryPassword);
    EXPECT_THAT([&] { names.open(); }, ::testing::ThrowsMessage<TableError>(HasSubstr("Неверный пароль")));
    EXPECT_FALSE(names.isOpen());

    db.setPasswordPrompt([] { return std::optional<QString>(QStringLiteral("wrong")); });
    EXPECT_TRUE(db.promptPassword());
    EXPECT_THROW(names.open(), TableError);

    db.setPasswordPrompt([] { return std::optional<QString>(schema::kTablePassword); });
    EXPECT_TRUE(db.promptPassword());
    names.open();
    EXPECT_TRUE(names.isOpen());

    names.close();
    db.clearPasswords();
    db.setPasswordPrompt([] { return std::nullopt; });
    EXPECT_FALSE(db.promptPassword());
    EXPECT_THROW(names.open(), TableError);
}

}  // namespace
}  // namespace zv
