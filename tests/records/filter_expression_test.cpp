#include "records/filter_expression.h"
#include "records/schema.h"
#include "records/table_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zv {
namespace {

struct FilterCase {
    const char* table;
    const char* text;
    const char* sql;
    QVariantList parameters;
};

TableDef defOf(const QString& name) { return name == u"Trains" ? schema::trains() : name == u"Names" ? schema::names() : schema::book(); }

class ValidFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ValidFilter, BecomesSqlWithBoundValues) {
    const FilterCase& c = GetParam();
    const FilterExpression e = FilterExpression::parse(QString::fromUtf8(c.text), defOf(QString::fromUtf8(c.table)));
    EXPECT_EQ(e.sqlCondition().toStdString(), c.sql);
    EXPECT_EQ(e.sqlParameters(), c.parameters);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramExpressions, ValidFilter,
    ::testing::Values(
        FilterCase{"Trains", "", "1", {}},
        FilterCase{"Trains", "Train=5", R"("Train" = ?)", {qlonglong(5)}},
        FilterCase{"Trains", "Train>12", R"("Train" > ?)", {qlonglong(12)}},
        FilterCase{"Trains", "Train<3", R"("Train" < ?)", {qlonglong(3)}},
        FilterCase{"Trains", "Direc <> NULL", R"("Direc" IS NOT NULL)", {}},
        FilterCase{"Trains", "direc = null", R"("Direc" IS NULL)", {}},
        FilterCase{"Names", "N>0", R"("N" > ?)", {qlonglong(0)}},
        FilterCase{"Book", "Time2>'05.03.2008 08:00' and Dir=1", R"(("Time2" > ? AND "Dir" = ?))",
                   {QStringLiteral("2008-03-05 08:00:00.000"), qlonglong(1)}},
        FilterCase{"Book", "((Name2=3)or(Name1=3))", R"(("Name2" = ? OR "Name1" = ?))", {qlonglong(3), qlonglong(3)}},
        FilterCase{"Book", "(Train1=12 or Train2=12)", R"(("Train1" = ? OR "Train2" = ?))", {qlonglong(12), qlonglong(12)}},
        FilterCase{"Book", "Load=2 AND (Train1=1 OR Train2=1) and Wagon=12345678",
                   R"((("Load" = ? AND ("Train1" = ? OR "Train2" = ?)) AND "Wagon" = ?))",
                   {qlonglong(2), qlonglong(1), qlonglong(1), QStringLiteral("12345678")}},
        FilterCase{"Book", "Time2<'31/12/2026 23:59' and Time2>'01-12-2026 00:00'",
                   R"(("Time2" < ? AND "Time2" > ?))",
                   {QStringLiteral("2026-12-31 23:59:00.000"), QStringLiteral("2026-12-01 00:00:00.000")}},
        FilterCase{"Book", "Wagon='12''34'", R"("Wagon" = ?)", {QStringLiteral("12'34")}},
        FilterCase{"Book", "Brut<>60000.5", R"("Brut" <> ?)", {60000.5}}));

struct BadFilter {
    const char* text;
    const char* reason;
};

class MalformedFilter : public ::testing::TestWithParam<BadFilter> {};

TEST_P(MalformedFilter, IsRefusedNamingTheFault) {
    try {
        FilterExpression::parse(QString::fromUtf8(GetParam().text), schema::book());
        FAIL() << "accepted " << GetParam().text;
    } catch (const TableError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam().reason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, MalformedFilter,
    ::testing::Values(BadFilter{"Train1=", "ожидается значение"},
                      BadFilter{"(Train1=1 or Train2=1", "ожидается ')'"},
                      BadFilter{"Train1=1 Train2=1", "лишний текст"},
                      BadFilter{"Weight=1", "поле Weight отсутствует в таблице Book"},
                      BadFilter{"Nett>0", "поле Nett отсутствует"},  // calculated: not in the file
                      BadFilter{"Wagon='12", "нет закрывающей кавычки"},
                      BadFilter{"Time2>'32.01.2026 08:00'", "дата и время"},
                      BadFilter{"Time2>5", "дата и время"},
                      BadFilter{"Dir=1; DROP TABLE Book", "недопустимый символ"},
                      BadFilter{"Dir>NULL", "NULL"},
                      BadFilter{"Load='груз'", "ожидается число"}));

}  // namespace
}  // namespace zv
