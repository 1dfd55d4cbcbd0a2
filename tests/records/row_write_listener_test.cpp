#include "records/database.h"
#include "records/row_write_listener.h"
#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

QDateTime at(int minute) { return QDateTime(QDate(2026, 12, 9), QTime(10, minute)); }

// Writes a line of its own into the table's file for every change it is told of, so a test
// sees whether that line and the row were committed together.
class JournalListener : public RowWriteListener {
public:
    QStringList told;
    bool failNext = false;
    bool failCommit = false;
    QStringList commits;  // the writes of each commit: "2" written, "-2" deleted

    void beforeCommit(Table&, const QList<TableWrite>& writes) override {
        if (std::exchange(failCommit, false)) throw TableError(QStringLiteral("commit refused"));
        QStringList rows;
        for (const TableWrite& write : writes) rows.append(QString::number(write.removed ? -write.rowId : write.rowId));
        commits.append(rows.join(u' '));
    }

    void rowWritten(Table& table, const Row* before, const Row& after) override {
        record(table, QStringLiteral("%1 %2->%3")
                          .arg(before ? QStringLiteral("update") : QStringLiteral("insert"))
                          .arg(before ? before->value(QStringLiteral("Weight")).toInt() : -1)
                          .arg(after.value(QStringLiteral("Weight")).toInt()));
    }
    void rowRemoved(Table& table, const Row& before) override {
        record(table, QStringLiteral("remove %1").arg(before.value(QStringLiteral("Weight")).toInt()));
    }

private:
    void record(Table& table, const QString& line) {
        SqliteFile& file = table.sqliteFile();
        file.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS journal (line TEXT)"));
        SqlStatement insert = file.prepare(QStringLiteral("INSERT INTO journal VALUES (?)"));
        insert.bind(1, line);
        insert.step();
        if (failNext) {
            failNext = false;
            throw TableError(QStringLiteral("journal refused"));
        }
        told.append(line);
    }
};

class RowWriteListenerTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Database db;
    std::unique_ptr<Table> trains;
    JournalListener listener;

    void SetUp() override {
        db.setFolder(QString::fromStdString(dir.path().string()));
        trains = std::make_unique<Table>(db, schema::trains());
        trains->create();
        trains->open();
        db.addWriteListener(&listener);
    }

    QStringList journal() {
        SqlStatement read = trains->sqliteFile().prepare(QStringLiteral("SELECT line FROM journal ORDER BY rowid"));
        QStringList lines;
        while (read.step()) lines.append(read.column(0).toString());
        return lines;
    }
    void addTrain(int weight) { trains->insertRecord({1, at(weight % 60), QVariant(), weight, 0, 0, 0, 0, 1}); }
    void setWeight(int weight) {
        trains->edit();
        trains->setValue(QStringLiteral("Weight"), weight);
        trains->post();
    }
};

TEST_F(RowWriteListenerTest, SeesInsertsUpdatesAndDeletesWithTheStoredRows) {
    addTrain(1000);
    setWeight(1200);
    trains->remove();
    EXPECT_EQ(listener.told, (QStringList{"insert -1->1000", "update 1000->1200", "remove 1200"}));
    EXPECT_EQ(journal(), listener.told) << "what the listener wrote was committed with each row";
    EXPECT_FALSE(trains->sqliteFile().inTransaction());
    EXPECT_EQ(listener.commits, (QStringList{"1", "1", "-1"}));
}

TEST_F(RowWriteListenerTest, AFailingListenerRollsBackTheWriteAndKeepsTheEdit) {
    addTrain(1000);
    listener.failNext = true;
    trains->edit();
    trains->setValue(QStringLiteral("Weight"), 1300);
    EXPECT_THROW(trains->post(), TableError);
    EXPECT_EQ(trains->state(), Table::State::Edit) << "the operator's edit stays for correction";
    EXPECT_EQ(trains->storedRow(trains->currentRow().rowId())->value(QStringLiteral("Weight")).toInt(), 1000);
    EXPECT_EQ(journal(), QStringList{"insert -1->1000"}) << "neither the row nor the listener's line was kept";
    trains->post();
    EXPECT_EQ(journal(), (QStringList{"insert -1->1000", "update 1000->1300"}));
}

TEST_F(RowWriteListenerTest, InABatchAFailureUndoesOnlyThatWrite) {
    trains->beginBatch();
    addTrain(1000);
    listener.failNext = true;
    EXPECT_THROW(addTrain(2000), TableError);
    addTrain(3000);
    trains->flush();
    EXPECT_EQ(trains->recordCount(), 2);
    EXPECT_EQ(journal(), (QStringList{"insert -1->1000", "insert -1->3000"}));
}

TEST_F(RowWriteListenerTest, InAGuardedStepAFailureUndoesTheWholeStep) {
    trains->beginBatch();
    QString error;
    EXPECT_TRUE(trains->runGuarded([&] { addTrain(1000); }, &error));
    EXPECT_FALSE(trains->runGuarded([&] {
        addTrain(2000);
        listener.failNext = true;
        addTrain(2010);
    }, &error));
    EXPECT_EQ(error, QStringLiteral("journal refused"));
    EXPECT_TRUE(trains->runGuarded([&] { addTrain(3000); }, &error));
    trains->flush();
    EXPECT_EQ(trains->recordCount(), 2);
    EXPECT_EQ(journal(), (QStringList{"insert -1->1000", "insert -1->3000"}));
    EXPECT_EQ(listener.commits, QStringList{"1 2"}) << "one commit, without the writes of the step undone";
}

TEST_F(RowWriteListenerTest, AListenerFailingAtTheCommitRollsTheWholeBatchBack) {
    addTrain(530);
    trains->beginBatch();
    addTrain(1000);
    setWeight(1100);
    listener.failCommit = true;
    EXPECT_THROW(trains->flush(), TableError);
    EXPECT_FALSE(trains->sqliteFile().inTransaction());
    EXPECT_EQ(trains->recordCount(), 1);
    EXPECT_EQ(journal(), QStringList{"insert -1->530"});
    addTrain(2000);
    EXPECT_EQ(listener.commits, (QStringList{"1", "2"})) << "the writes rolled back are not told again";
}

// The row a listener is given is the row the file now holds, field for field, although it is
// not read back: the counter key filled in, a time given in UTC told in local time.
class KeepingListener : public RowWriteListener {
public:
    std::optional<Row> written;
    void rowWritten(Table&, const Row*, const Row& after) override { written = after; }
    void rowRemoved(Table&, const Row&) override {}
};

TEST(RowWriteListenerRows, TheWrittenRowIsTheRowAsStored) {
    test::TempDir dir;
    Database db;
    db.setFolder(QString::fromStdString(dir.path().string()));
    Table book(db, schema::book());
    book.create();
    book.open();
    KeepingListener listener;
    db.addWriteListener(&listener);
    const QDateTime accepted = QDateTime(QDate(2026, 12, 9), QTime(10, 15, 30, 250)).toUTC();
    for (int i = 0; i < 2; ++i)
        book.insertValues({{QStringLiteral("Wagon"), QStringLiteral("5202%1").arg(i)}, {QStringLiteral("Time1"), accepted},
                           {QStringLiteral("Brut"), 81250 + i}, {QStringLiteral("Tare"), QStringLiteral("23100")}});
    ASSERT_TRUE(listener.written);
    const std::optional<Row> stored = book.storedRow(listener.written->rowId(), false);
    ASSERT_TRUE(stored);
    for (const FieldDef* field : book.def().storedFields()) {
        const QVariant given = listener.written->value(field->name), kept = stored->value(field->name);
        EXPECT_EQ(given, kept) << field->name.toStdString();
        if (given.typeId() == QMetaType::QDateTime) {
            EXPECT_EQ(given.toDateTime().toString(Qt::ISODateWithMs), kept.toDateTime().toString(Qt::ISODateWithMs));
        }
    }
    EXPECT_EQ(listener.written->value(QStringLiteral("N")).toLongLong(), 2);
    for (const FieldDef& field : book.def().fields)
        if (!field.isStored()) {
            EXPECT_TRUE(listener.written->value(field.name).isNull()) << field.name.toStdString();
        }
}

}  // namespace
}  // namespace zv
