#include "records/derived_fields.h"
#include "records/schema.h"

#include <gtest/gtest.h>

#include <functional>

namespace zv {
namespace {

struct Field {
    const char* name;
    QVariant value;
};

struct DerivedCase {
    const char* what;
    TableDef (*table)();
    std::vector<Field> row;
    Settings settings;
    std::vector<std::pair<const char*, QString>> expected;  // field -> text ("" for empty)
};

Settings steps(int did, int dis = 20, int didl = 10, int dids = 10) {
    Settings s;
    s.Did = did;
    s.Dis = dis;
    s.Didl = didl;
    s.Dids = dids;
    return s;
}

// Every shown value the way a grid would show it: calculated numbers and the texts.
QString shown(const Row& row, const char* field, const Settings& s) {
    const QString name = QString::fromUtf8(field);
    const std::map<QString, std::function<QString()>> texts = {
        {QStringLiteral("Trains.Direct"), [&] { return TrainsDirectGetText(row); }},
        {QStringLiteral("Trains.Note1"), [&] { return TrainsNote1GetText(row); }},
        {QStringLiteral("Trains.WeiL"), [&] { return TrainsWeiLGetText(row, s); }},
        {QStringLiteral("Trains.Speed"), [&] { return TrainsSpeedGetText(row); }},
        {QStringLiteral("Wagons.WNote1"), [&] { return WagonsWNote1GetText(row); }},
        {QStringLiteral("Wagons.WeiL"), [&] { return WagonsWeiLGetText(row, s); }},
        {QStringLiteral("Wagons.BaseW"), [&] { return WagonsBaseWGetText(row, s); }},
        {QStringLiteral("Wagons.DisS"), [&] { return WagonsDisSGetText(row, s); }},
        {QStringLiteral("Book.BNote1"), [&] { return BookBNote1GetText(row); }},
        {QStringLiteral("Book.TNote1"), [&] { return BookTNote1GetText(row); }},
        {QStringLiteral("Book.WeiL"), [&] { return BookWeiLGetText(row, s); }},
        {QStringLiteral("Book.Dir1"), [&] { return BookDir1GetText(row); }},
    };
    const auto text = texts.find(row.def().name + u'.' + name);
    if (text != texts.end()) return text->second();
    return row.value(name).isNull() ? QString() : row.value(name).toString();
}

class DerivedFields : public ::testing::TestWithParam<DerivedCase> {};

TEST_P(DerivedFields, ShowWhatTheRowMeans) {
    const DerivedCase& c = GetParam();
    const TableDef def = c.table();
    Row row(def);
    for (const Field& f : c.row) row.set(QString::fromUtf8(f.name), f.value);
    if (def.name == u"Trains") TrainsCalcFields(row, c.settings);
    if (def.name == u"Wagons") WagonsCalcFields(row, c.settings);
    if (def.name == u"Book") BookCalcFields(row, c.settings);
    for (const auto& [field, text] : c.expected) EXPECT_EQ(shown(row, field, c.settings), text) << c.what << ": " << field;
}

const QString kEmpty;

INSTANTIATE_TEST_SUITE_P(
    Examples, DerivedFields,
    ::testing::Values(
        DerivedCase{"bogies of a train row", schema::trains, {{"Weight", 60000}, {"WeiL", 1000}}, steps(50),
                    {{"WeiL0", "29500"}, {"WeiL1", "30500"}, {"WeiL", "1000"}}},
        DerivedCase{"589.5 rounds to the even 590", schema::trains, {{"Weight", 60000}, {"WeiL", 1050}}, steps(50),
                    {{"WeiL0", "29500"}, {"WeiL1", "30500"}, {"WeiL", "1050"}}},
        DerivedCase{"10.5 rounds to 10", schema::trains, {{"Weight", 60000}, {"WeiL", 1050}}, steps(100),
                    {{"WeiL", "1000"}, {"WeiL0", "29500"}, {"WeiL1", "30500"}}},
        DerivedCase{"no imbalance, no bogies", schema::trains, {{"Weight", 60000}}, steps(50),
                    {{"WeiL0", kEmpty}, {"WeiL1", kEmpty}, {"WeiL", kEmpty}}},
        DerivedCase{"step 0 from a hand-edited file", schema::trains, {{"Weight", 60000}, {"WeiL", 1000}}, steps(0),
                    {{"WeiL0", kEmpty}, {"WeiL1", kEmpty}, {"WeiL", kEmpty}}},
        DerivedCase{"static marker", schema::trains, {{"Train", 8}}, steps(50), {{"Direct", "Статич"}, {"Note1", kEmpty}}},
        DerivedCase{"nothing at all", schema::trains, {}, steps(50), {{"Direct", kEmpty}}},
        DerivedCase{"entry, weighed", schema::trains, {{"Train", 8}, {"Direc", 0}, {"Note", 1}}, steps(50),
                    {{"Direct", "Въезд"}, {"Note1", kEmpty}}},
        DerivedCase{"exit, processed", schema::trains, {{"Direc", 1}, {"Note", 0}}, steps(50),
                    {{"Direct", "Выезд"}, {"Note1", "Обработан"}}},
        DerivedCase{"locomotive", schema::trains, {{"Direc", 5}, {"Note", 3}}, steps(50), {{"Direct", "Выезд"}, {"Note1", "Локомотив"}}},
        DerivedCase{"problems", schema::trains, {{"Note", 6}}, steps(50), {{"Note1", "Проблема о"}}},
        DerivedCase{"problem r", schema::trains, {{"Note", 5}}, steps(50), {{"Note1", "Проблема р"}}},
        DerivedCase{"problem v", schema::trains, {{"Note", 4}}, steps(50), {{"Note1", "Проблема в"}}},
        DerivedCase{"speed in km/h from tenths", schema::trains, {{"Speed", 77}}, steps(50), {{"Speed", "7,7"}}},
        DerivedCase{"a slow wagon", schema::trains, {{"Speed", 5}}, steps(50), {{"Speed", "0,5"}}},
        DerivedCase{"a whole speed keeps its decimal", schema::trains, {{"Speed", 120}}, steps(50), {{"Speed", "12,0"}}},
        DerivedCase{"no speed (static marker)", schema::trains, {{"Train", 8}}, steps(50), {{"Speed", kEmpty}}},
        DerivedCase{"net from whichever weighing is heavier", schema::wagons,
                    {{"Weight", 25000}, {"Wei2", 70000}, {"WNote", 1}, {"WeiL", 1030}, {"BaseW", 8655}, {"DisS", 15}},
                    steps(50, 20, 10, 10),
                    {{"Nett", "45000"}, {"WNote1", "Динамика"}, {"WeiL", "1040"}, {"BaseW", "8660"}, {"DisS", "20"}}},
        DerivedCase{"wagon offset", schema::wagons, {{"Weight", 60000}, {"WeiL", 1000}, {"BaseW", 8650}}, steps(50, 20, 10),
                    {{"DisL", "70"}, {"Nett", kEmpty}}},  // 8650000 / 1200000 = 7.2
        DerivedCase{"wagon of weight 0", schema::wagons, {{"Weight", 0}, {"WeiL", 1000}, {"BaseW", 8650}}, steps(50),
                    {{"DisL", kEmpty}}},
        DerivedCase{"products beyond 32 bits, offset limited", schema::wagons,
                    {{"Weight", 1}, {"WeiL", 2000000000}, {"BaseW", 32767}}, steps(50, 20, 1),
                    {{"DisL", "32767"}}},
        DerivedCase{"method texts", schema::wagons, {{"WNote", 0}}, steps(50), {{"WNote1", "Статика"}}},
        DerivedCase{"document tare wins over the marked one", schema::book,
                    {{"Brut", 80000}, {"TareD", 24000}, {"TareW", 23000}, {"BNote", 2}, {"TNote", 0}, {"Dir", 2}},
                    steps(50),
                    {{"Nett", "56000"}, {"TareN", "24000"}, {"BNote1", "Проблема"}, {"TNote1", "Вручную"}, {"Dir1", "Транзит"}}},
        // A release without a tare weighing stored the method 0 beside no tare: the tare the
        // net is worked out with was typed, and is named so.
        DerivedCase{"tare typed from the wagon", schema::book, {{"Brut", 60000}, {"TareW", 24000}, {"TNote", 0}},
                    steps(50), {{"Nett", "36000"}, {"TareN", "24000"}, {"TNote1", "Вручную"}}},
        DerivedCase{"weighed tare first", schema::book,
                    {{"Brut", 80000}, {"Tare", 21000}, {"TNote", 0}, {"TareD", 24000}, {"Dir", 0}}, steps(50),
                    {{"Nett", "59000"}, {"TareN", "21000"}, {"TNote1", "Статика"}, {"Dir1", "Ввоз"}}},
        DerivedCase{"no tare at all", schema::book, {{"Brut", 80000}, {"WeiL", 100}, {"Dir", 1}, {"TNote", 0}}, steps(50),
                    {{"Nett", kEmpty}, {"TareN", kEmpty}, {"TNote1", kEmpty}, {"WeiL0", kEmpty}, {"Dir1", "Вывоз"}}},
        DerivedCase{"no gross", schema::book, {{"Tare", 20000}}, steps(50), {{"Nett", kEmpty}, {"Dir1", kEmpty}}},
        DerivedCase{"large imbalance marked", schema::book, {{"WeiL", 12345}}, steps(50, 20), {{"WeiL", "12340 Н"}}},
        DerivedCase{"-499.5 rounds to -500, no mark", schema::book, {{"WeiL", -9990}}, steps(50, 20), {{"WeiL", "-10000"}}},
        DerivedCase{"empty wagon: offset limited", schema::book,
                    {{"Brut", 23001}, {"Tare", 23000}, {"WeiL", 5000}, {"BaseW", 9000}}, steps(50, 20, 10),
                    {{"DisL", "32767"}, {"Nett", "1"}}},
        DerivedCase{"negative offset limited", schema::book,
                    {{"Brut", 23001}, {"Tare", 23000}, {"WeiL", -5000}, {"BaseW", 9000}}, steps(50, 20, 10), {{"DisL", "-32767"}}},
        DerivedCase{"net 0", schema::book, {{"Brut", 23000}, {"Tare", 23000}, {"WeiL", 50}, {"BaseW", 9000}}, steps(50),
                    {{"DisL", kEmpty}, {"Nett", "0"}}},
        DerivedCase{"book bogies", schema::book, {{"Brut", 80000}, {"Tare", 20000}, {"WeiL", 1000}, {"BaseW", 8650}},
                    steps(50, 20, 10), {{"WeiL0", "29500"}, {"WeiL1", "30500"}, {"DisL", "70"}}}));

TEST(TrainsWagonColumn, IsEditableOnlyForRowsStillToBeProcessed) {
    const TableDef def = schema::trains();
    const std::pair<QVariant, bool> cases[] = {{QVariant(), false}, {0, false}, {1, true}, {2, true},
                                               {3, false},          {4, true},  {5, true}, {6, true}};
    for (const auto& [note, editable] : cases) {
        Row row(def);
        row.set(QStringLiteral("Note"), note);
        EXPECT_EQ(TrainsWagonEditable(row), editable) << note.toString().toStdString();
    }
}

}  // namespace
}  // namespace zv
