#include "central/central_fixture.h"

#include "records/row_write_listener.h"
#include "records/table_error.h"
#include "records/train_storage.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using central::OutboxEntry;

// Refuses the next write after the outbox has entered it, as a failing seal or log would.
struct RefusingListener : RowWriteListener {
    bool refuse = false;
    void rowWritten(Table&, const Row*, const Row&) override { check(); }
    void rowRemoved(Table&, const Row&) override { check(); }
    void check() {
        if (refuse) throw TableError(QStringLiteral("refused"));
    }
};

class OutboxTest : public ::testing::Test {
protected:
    test::OutboxFolder folder;
    RecordsDatabase& r = folder.open();

    std::vector<OutboxEntry> entries() const { return central::OutboxQueue(folder.f.dbDir()).oldest(1000); }
    QStringList summary() const {
        QStringList lines;
        for (const OutboxEntry& e : entries()) lines.append(QStringLiteral("%1 %2 %3").arg(e.table, QChar::fromLatin1(e.op), e.key));
        return lines;
    }
};

TEST_F(OutboxTest, EveryChangeEntersInWriteOrderAcrossFiles) {
    StoreTrain(r, test::trainOf(2));
    Table& names = r.Names();
    names.insertValues({{QStringLiteral("N"), 5}, {QStringLiteral("Name"), QStringLiteral("Иванов")},
                        {QStringLiteral("Pass"), QStringLiteral("tайна")}});
    Table& trains = r.Trains();
    trains.setFiltered(false);
    trains.first();
    trains.edit();
    trains.setValue(QStringLiteral("Train"), 7);  // renumbered: the same row, a new version
    trains.post();
    trains.edit();
    trains.setValue(QStringLiteral("Time"), test::kFirstWagon.addSecs(-60));  // a new identity
    trains.post();
    trains.remove();
    EXPECT_EQ(summary(), (QStringList{
                             "Trains U 2026-12-09 14:00:00.000", "Trains U 2026-12-09 14:00:05.000",
                             "Names U 5", "Trains U 2026-12-09 14:00:00.000",
                             "Trains D 2026-12-09 14:00:00.000", "Trains U 2026-12-09 13:59:00.000",
                             "Trains D 2026-12-09 13:59:00.000"}));
    const auto all = entries();
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].seq, all[i].seq);
    EXPECT_EQ(all[0].row, QStringLiteral("")) << "the row is gone: its delete follows";
    EXPECT_TRUE(all[1].row.contains(QStringLiteral("\"weight\":60001")));
    EXPECT_TRUE(all[2].row.contains(QStringLiteral("\"name\":\"Иванов\"")));
    EXPECT_FALSE(all[2].row.contains(QStringLiteral("pass"))) << "an operator's password never leaves the scale";
}

TEST_F(OutboxTest, ARefusedWriteLeavesNeitherRowNorEntry) {
    RefusingListener refusing;
    r.connection().addWriteListener(&refusing);
    Table& loads = r.Loads();
    const qint64 before = folder.queued();
    refusing.refuse = true;
    EXPECT_THROW(loads.insertValues({{QStringLiteral("N"), 9}, {QStringLiteral("Load"), QStringLiteral("Уголь")}}), TableError);
    EXPECT_FALSE(loads.findKey(9));
    EXPECT_EQ(folder.queued(), before);
    refusing.refuse = false;
    loads.insertValues({{QStringLiteral("N"), 9}, {QStringLiteral("Load"), QStringLiteral("Уголь")}});
    EXPECT_EQ(folder.queued(), before + 1);
    r.connection().removeWriteListener(&refusing);
}

TEST_F(OutboxTest, RemovingSentEntriesKeepsTheLaterOnes) {
    StoreTrain(r, test::trainOf(3));
    const central::OutboxQueue queue(folder.f.dbDir());
    const auto first = queue.oldest(2);
    ASSERT_EQ(first.size(), 2u);
    StoreTrain(r, test::trainOf(1, test::kFirstWagon.addSecs(600)));  // written while the batch is on its way
    queue.remove(first);
    const auto left = queue.oldest(10);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_GT(left[0].seq, first[1].seq);
}

// The first version kept the mark with a trigger and had no time of the last transfer; such a
// file goes on, and a number never falls below the mark, whatever the clock says.
TEST_F(OutboxTest, AnOutboxOfTheFirstVersionIsBroughtUpToDate) {
    Table& loads = r.Loads();
    SqliteFile& file = loads.sqliteFile();
    file.exec(QStringLiteral(
        "DROP TABLE IF EXISTS zv_outbox; DROP TABLE IF EXISTS zv_outbox_mark;"
        "CREATE TABLE zv_outbox (seq INTEGER PRIMARY KEY, tbl TEXT NOT NULL, op TEXT NOT NULL, pk TEXT, ref INTEGER);"
        "CREATE TABLE zv_outbox_mark (last INTEGER NOT NULL); INSERT INTO zv_outbox_mark VALUES (0);"
        "CREATE TRIGGER zv_outbox_marked AFTER INSERT ON zv_outbox BEGIN UPDATE zv_outbox_mark SET last = max(last, NEW.seq); END"));
    central::enterExistingRows(folder.listener, r);
    const qint64 ahead = 1LL << 60;  // a number from a clock far ahead, sent and gone
    file.exec(QStringLiteral("UPDATE zv_outbox_mark SET last = %1").arg(ahead));
    loads.insertValues({{QStringLiteral("N"), 9}, {QStringLiteral("Load"), QStringLiteral("Уголь")}});
    const central::OutboxQueue queue(folder.f.dbDir());
    std::vector<OutboxEntry> loadsEntries;
    for (const OutboxEntry& e : queue.oldest(1000))
        if (e.table == QStringLiteral("Loads")) loadsEntries.push_back(e);
    ASSERT_EQ(loadsEntries.size(), 1u);
    EXPECT_EQ(loadsEntries[0].seq, ahead + 1);
    queue.remove(queue.oldest(1000));
    EXPECT_EQ(queue.count(), 0);
    EXPECT_TRUE(queue.lastSent().isValid());
    SqlStatement trigger = file.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='trigger'"));
    trigger.step();
    EXPECT_EQ(trigger.columnInt64(0), 0);
}

TEST(OutboxSeed, WhatAFolderHeldBeforeSendingEntersOnce) {
    test::RecordsFixture f;
    RecordsDatabase& r = f.open();  // no outbox: sending was off
    StoreTrain(r, test::trainOf(2));
    central::OutboxListener outbox;
    r.connection().addWriteListener(&outbox);
    central::enterExistingRows(outbox, r);
    const central::OutboxQueue queue(f.dbDir());
    QStringList tables;
    for (const OutboxEntry& e : queue.oldest(100))
        if (!tables.contains(e.table)) tables.append(e.table);
    EXPECT_EQ(tables, (QStringList{"Loads", "Stations", "Clients", "BasesW", "Trains"}));
    const qint64 seeded = queue.count();
    central::enterExistingRows(outbox, r);
    EXPECT_EQ(queue.count(), seeded) << "entered once, not at every start";
}

}  // namespace
}  // namespace zv
