#include "reports/book_filter.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(BookFilter, BuildsTheExpressionAndDescriptionOfTheFiltersThatAreOn) {
    BookFilter none;
    EXPECT_EQ(bookFilterText(none).expression, QString());
    EXPECT_EQ(bookFilterText(none).description, QString());

    BookFilter byOperator;
    byOperator.operatorName = BookFilter::Choice{3, QStringLiteral("Сидоров С.С.")};
    EXPECT_EQ(bookFilterText(byOperator).expression, QStringLiteral("((Name2=3)or(Name1=3))"));
    EXPECT_EQ(bookFilterText(byOperator).description,
              QStringLiteral("Фильтр:  оператор - Сидоров С.С."));

    BookFilter byTrain;
    byTrain.train = 12;
    EXPECT_EQ(bookFilterText(byTrain).expression, QStringLiteral("(Train1=12 or Train2=12)"));
    EXPECT_EQ(bookFilterText(byTrain).description, QStringLiteral("Фильтр:  состав - 12"));

    BookFilter sinceAndOut;
    sinceAndOut.from = QDateTime(QDate(2008, 3, 5), QTime(8, 0));
    sinceAndOut.direction = 1;
    EXPECT_EQ(bookFilterText(sinceAndOut).expression,
              QStringLiteral("Time2>'05.03.2008 08:00' and Dir=1"));
    EXPECT_EQ(bookFilterText(sinceAndOut).description, QStringLiteral("Фильтр:  Вывоз"));

    BookFilter all;
    all.from = QDateTime(QDate(2026, 12, 1), QTime(0, 0));
    all.to = QDateTime(QDate(2026, 12, 9), QTime(23, 59));
    all.load = BookFilter::Choice{4, QStringLiteral("Уголь")};
    all.direction = 2;
    all.station = BookFilter::Choice{1, QStringLiteral("Станция 1")};
    all.client = BookFilter::Choice{0, QStringLiteral("Прочие")};
    all.operatorName = BookFilter::Choice{2, QStringLiteral("Петров")};
    all.wagon = 52100001;
    all.train = 7;
    const BookFilterText text = bookFilterText(all);
    EXPECT_EQ(text.expression,
              QStringLiteral("Time2>'01.12.2026 00:00' and Time2<'09.12.2026 23:59' and Load=4 and "
                             "Dir=2 and Station=1 and Client=0 and ((Name2=2)or(Name1=2)) and "
                             "Wagon=52100001 and (Train1=7 or Train2=7)"));
    EXPECT_EQ(text.description,
              QStringLiteral("Фильтр:  груз - Уголь  Транзит  станция - Станция 1  "
                             "получатель/отправитель - Прочие  оператор - Петров  вагон - 52100001"
                             "  состав - 7"));
}

}  // namespace
}  // namespace zv
