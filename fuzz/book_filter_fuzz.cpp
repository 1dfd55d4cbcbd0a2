// The filter texts of the weighing-book report as the table engine reads them. Any text
// must parse or be refused with a TableError, never crash or read out of bounds; a parsed
// filter binds exactly one value per placeholder of its SQL. Inputs that start with 0x00
// are read instead as the settings of the report window's filter controls: the expression
// the window makes from any of them must parse.
#include <fuzzer/FuzzedDataProvider.h>

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "records/filter_expression.h"
#include "records/schema.h"
#include "records/table_error.h"
#include "reports/book_filter.h"

namespace {

const zv::TableDef& bookDef() {
    static const zv::TableDef def = zv::schema::book();
    return def;
}

void checkParsed(const zv::FilterExpression& f) {
    if (f.isEmpty()) return;
    if (f.sqlCondition().count(QLatin1Char('?')) != f.sqlParameters().size()) std::abort();
}

void parseText(const QString& text) {
    try {
        checkParsed(zv::FilterExpression::parse(text, bookDef()));
    } catch (const zv::TableError&) {
        // a refused filter: the window shows the message
    }
}

QDateTime dateTimeOf(FuzzedDataProvider& in) {
    // The range of the window's date controls.
    const QDate date = QDate(1752, 9, 14).addDays(in.ConsumeIntegralInRange<int>(0, 3000000));
    const QDate shown = date.isValid() && date.year() <= 9999 ? date : QDate(9999, 12, 31);
    return QDateTime(shown, QTime(in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59)));
}

zv::BookFilter::Choice choiceOf(FuzzedDataProvider& in) {
    const int code = in.ConsumeIntegralInRange(-32768, 32767);
    return {code, QString::fromStdString(in.ConsumeRandomLengthString(40))};
}

void checkWindowFilter(FuzzedDataProvider& in) {
    zv::BookFilter f;
    if (in.ConsumeBool()) f.from = dateTimeOf(in);
    if (in.ConsumeBool()) f.to = dateTimeOf(in);
    if (in.ConsumeBool()) f.load = choiceOf(in);
    if (in.ConsumeBool()) f.direction = in.ConsumeIntegralInRange(0, 2);
    if (in.ConsumeBool()) f.station = choiceOf(in);
    if (in.ConsumeBool()) f.client = choiceOf(in);
    if (in.ConsumeBool()) f.operatorName = choiceOf(in);
    if (in.ConsumeBool()) f.wagon = in.ConsumeIntegralInRange(0, 99999999);
    if (in.ConsumeBool()) f.train = in.ConsumeIntegralInRange(0, 65535);
    const zv::BookFilterText text = zv::bookFilterText(f);
    // The time bounds have no piece of the description; every other filter has one.
    const bool described = f.load || f.direction || f.station || f.client || f.operatorName ||
                           f.wagon || f.train;
    if (text.description.isEmpty() == described) std::abort();
    if (text.expression.isEmpty() == (described || f.from || f.to)) std::abort();
    try {
        checkParsed(zv::FilterExpression::parse(text.expression, bookDef()));
    } catch (const zv::TableError&) {
        std::abort();  // the window made a filter the table refuses
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0 && data[0] == 0) {
        FuzzedDataProvider in(data + 1, size - 1);
        checkWindowFilter(in);
    } else {
        parseText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    }
    return 0;
}
