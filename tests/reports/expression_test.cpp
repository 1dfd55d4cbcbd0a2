#include "reports/expression.h"

#include <gtest/gtest.h>

#include "reports/memory_dataset.h"
#include "reports/report_error.h"

namespace zv {
namespace {

MemoryDataset oneBookRow() {
    MemoryDataset book(QStringLiteral("Book"),
                       {"Tare", "TareD", "Name2", "Name21", "Note", "Empty", "Wagon", "Neg"});
    book.addRow({{"Tare", 0},
                 {"TareD", 23900},
                 {"Name2", 5},
                 {"Name21", QStringLiteral("Петров П.П.")},
                 {"Note", 3},
                 {"Wagon", QStringLiteral("52100001")},
                 {"Neg", -7.6}});
    book.first();
    return book;
}

struct Case {
    const char* expression;
    const char* expected;
};

class ExpressionValues : public ::testing::TestWithParam<Case> {};

TEST_P(ExpressionValues, EvaluatesToText) {
    MemoryDataset book = oneBookRow();
    const Expression e = Expression::parse(QString::fromUtf8(GetParam().expression));
    e.checkFields(book);
    EXPECT_EQ(e.evaluate({&book, 4}).toText(), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Language, ExpressionValues,
    ::testing::Values(
        Case{"1+2+0.5", "3.5"}, Case{"'a'+'b'", "ab"}, Case{"'№ '+12", "№ 12"},
        Case{"'it''s'", "it's"}, Case{"PAGENUMBER+1", "5"}, Case{"pagenumber", "4"},
        Case{"2<3", "1"}, Case{"3<=3", "1"}, Case{"2>3", "0"}, Case{"3>=4", "0"}, Case{"2=2", "1"},
        Case{"2<>2", "0"}, Case{"'b'>'a'", "1"}, Case{"'10'=10", "1"}, Case{"IF(1<2,'y','n')", "y"},
        Case{"IF((Book.Note<3),1,0)", "0"},
        // A null field counts as 0 and as an empty text.
        Case{"Book.Empty+1", "1"}, Case{"IF(Book.Empty = 0,'blank','set')", "blank"},
        Case{"'['+Book.Empty+']'", "[]"}, Case{"Book.Wagon+'/'+Book.Name2", "52100001/5"},
        Case{"IF(Book.Name2 = 0,'________________ ',Book.Name21)", "Петров П.П."},
        Case{"IF(Book.Tare>0,FORMATNUMERIC('#####0',Book.Tare),"
             "FORMATNUMERIC('#####0',Book.TareD)+' (не взвеш.)')",
             "23900 (не взвеш.)"},
        Case{"FORMATNUMERIC('#####0', 0)", "0"}, Case{"FORMATNUMERIC('#####0', 24000.5)", "24000"},
        Case{"FORMATNUMERIC('#####0', 24001.5)", "24002"},
        Case{"FORMATNUMERIC('#####0', Book.Neg)", "-8"},
        Case{"FORMATNUMERIC('#,##0.00', 1234.5)", "1 234.50"},
        Case{"FORMATNUMERIC('0.##', 2.5)", "2.5"}, Case{"FORMATNUMERIC('000', 7)", "007"},
        Case{"FORMATNUMERIC('#0 кг', 5)", "5 кг"}));

TEST(Expression, RefusesWhatTheLanguageDoesNotHave) {
    const char* bad[] = {
        "FOO(1)", "IF(1,2)", "IF(1,2,3,4)",         "'abc",  "Tare", "1 +",  "1 2", "Book.",
        "1 # 2",  "(1",      "SUM(SUM(Book.Tare))", "1 - 2", "",     "SUM()"};
    for (const char* source : bad) {
        SCOPED_TRACE(source);
        try {
            Expression::parse(QString::fromUtf8(source));
            ADD_FAILURE() << "parsed";
        } catch (const ReportError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(source))) << e.what();
        }
    }
}

TEST(Expression, ChecksFieldsAgainstTheDataSet) {
    const MemoryDataset book = oneBookRow();
    EXPECT_NO_THROW(Expression::parse(QStringLiteral("book.Tare")).checkFields(book));
    EXPECT_THROW(Expression::parse(QStringLiteral("Book.Nope")).checkFields(book), ReportError);
    EXPECT_THROW(Expression::parse(QStringLiteral("Trains.Tare")).checkFields(book), ReportError);
    EXPECT_EQ(Expression::parse(QStringLiteral("IF(Book.Tare>0,Book.TareD,1)")).fieldReferences(),
              QStringList({"Book.Tare", "Book.TareD"}));
}

TEST(Expression, SumAddsTheRowsSinceTheLastReset) {
    MemoryDataset trains(QStringLiteral("Trains"), {"Note", "Weight"});
    trains.addRow({{"Note", 1}, {"Weight", 60000}});
    trains.addRow({{"Note", 3}, {"Weight", 90000}});
    trains.addRow({{"Note", 0}, {"Weight", 61000}});
    Expression sum = Expression::parse(QStringLiteral("SUM(IF(Trains.Note<3,Trains.Weight,0))"));
    EXPECT_TRUE(sum.hasSums());
    for (bool more = trains.first(); more; more = trains.next()) sum.accumulate({&trains, 1});
    const Expression copy = sum;
    EXPECT_EQ(sum.evaluate({&trains, 1}).toText(), QStringLiteral("121000"));
    sum.resetSums();
    EXPECT_EQ(sum.evaluate({&trains, 1}).toText(), QStringLiteral("0"));
    EXPECT_EQ(copy.evaluate({&trains, 1}).toText(), QStringLiteral("121000"));
}

}  // namespace
}  // namespace zv
