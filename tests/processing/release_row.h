#pragma once

#include <gtest/gtest.h>

#include "records/table.h"

namespace zv::test {

// What a release of a wagon weighed in motion both times writes into the weighing book.
struct MotionRelease {
    int brut = 0;
    int tare = 0;
    int load = 0;
    int dir = 0;
    int name1 = 0;
    int name2 = 0;
    int train1 = 0;
    int train2 = 0;
};

// Checks the book row the table stands on; the net weight is gross less tare.
inline void expectReleaseRow(Table& book, const MotionRelease& r) {
    EXPECT_EQ(book.toInt("Brut"), r.brut);
    EXPECT_EQ(book.toInt("Tare"), r.tare);
    EXPECT_EQ(book.toInt("Nett"), r.brut - r.tare);
    EXPECT_EQ(book.toInt("BNote"), 1);
    EXPECT_EQ(book.toInt("TNote"), 1);
    EXPECT_EQ(book.toInt("Load"), r.load);
    EXPECT_EQ(book.toInt("Dir"), r.dir);
    EXPECT_EQ(book.toInt("Name1"), r.name1);
    EXPECT_EQ(book.toInt("Name2"), r.name2);
    EXPECT_EQ(book.toInt("Train1"), r.train1);
    EXPECT_EQ(book.toInt("Train2"), r.train2);
}

}  // namespace zv::test
