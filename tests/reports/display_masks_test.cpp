#include "reports/display_masks.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(DisplayMasks, FormatsDateTimesLikeTheLayouts) {
    const QDateTime t(QDate(2026, 3, 5), QTime(8, 7, 9, 45));
    const std::pair<const char*, const char*> cases[] = {
        {"hh:nn:ss", "08:07:09"},
        {"dd.mm.yyyy", "05.03.2026"},
        {"dd.mm.yyyy  hh:nn", "05.03.2026  08:07"},
        {"hh:mm", "08:07"},  // minutes after an hour
        {"d.m.yy h:n:s.zzz", "5.3.26 8:7:9.045"},
        {"DD/MM/YYYY", "05/03/2026"},
    };
    for (const auto& [mask, expected] : cases)
        EXPECT_EQ(formatDateMask(t, QString::fromUtf8(mask)), QString::fromUtf8(expected)) << mask;
}

}  // namespace
}  // namespace zv
