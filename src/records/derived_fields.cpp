#include "records/derived_fields.h"

#include "records/table.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zv {

namespace {

std::optional<qint64> field(const Row& row, const char* name) {
    const QVariant v = row.value(QLatin1String(name));
    if (v.isNull()) return std::nullopt;
    return v.toLongLong();
}

// round(numerator / denominator) x step in 64 bits; nullopt for a zero divisor.
std::optional<qint64> roundedQuotient(qint64 numerator, qint64 denominator, int step) {
    if (denominator == 0 || step == 0) return std::nullopt;
    const double quotient = std::nearbyint(static_cast<double>(numerator) / static_cast<double>(denominator));
    return static_cast<qint64>(quotient) * step;
}

qint64 limit16(qint64 v) { return std::clamp<qint64>(v, -32767, 32767); }

QVariant toVariant(const std::optional<qint64>& v) { return v ? QVariant(static_cast<qlonglong>(*v)) : QVariant(); }

// Bogie weights of a wagon of total weight w with imbalance l: the first rounded to the step,
// the second the remainder, so the two always add up to w.
void bogieWeights(Row& row, std::optional<qint64> w, std::optional<qint64> l, int did) {
    if (!w || !l) return;
    const auto first = roundedQuotient(*w - *l, 2 * static_cast<qint64>(did), did);
    if (!first) return;
    row.set(QStringLiteral("WeiL0"), static_cast<qlonglong>(*first));
    row.set(QStringLiteral("WeiL1"), static_cast<qlonglong>(*w - *first));
}

// Longitudinal offset of the centre of gravity, mm: base x imbalance / (2 x weight), to the step.
std::optional<qint64> longitudinalOffset(std::optional<qint64> base, std::optional<qint64> imbalance,
                                         std::optional<qint64> weight, int didl) {
    if (!base || !imbalance || !weight) return std::nullopt;
    const auto d = roundedQuotient(*base * *imbalance, 2 * *weight * didl, didl);
    if (!d) return std::nullopt;
    return limit16(*d);
}

QString codeText(const Row& row, const char* name, std::initializer_list<const char*> texts) {
    const auto code = field(row, name);
    if (!code || *code < 0 || *code >= static_cast<qint64>(texts.size())) return {};
    return QString::fromUtf8(texts.begin()[*code]);
}

QString methodText(const Row& row, const char* name) { return codeText(row, name, {"Статика", "Динамика", "Проблема"}); }

}  // namespace

QString stepText(const QVariant& value, int step) {
    if (value.isNull()) return {};
    const auto shown = roundedQuotient(value.toLongLong(), step, step);
    return shown ? QString::number(*shown) : QString();
}

void TrainsCalcFields(Row& row, const Settings& settings) {
    bogieWeights(row, field(row, "Weight"), field(row, "WeiL"), settings.Did);
}

void WagonsCalcFields(Row& row, const Settings& settings) {
    const auto weight = field(row, "Weight");
    const auto second = field(row, "Wei2");
    if (weight && second) row.set(QStringLiteral("Nett"), static_cast<qlonglong>(std::llabs(*weight - *second)));
    row.set(QStringLiteral("DisL"), toVariant(longitudinalOffset(field(row, "BaseW"), field(row, "WeiL"), weight, settings.Didl)));
}

// The tare a book row's net weight is worked out with: the weighed one, else the one of the
// document, else the one written on the wagon (the last two typed by the operator).
std::optional<qint64> bookTare(const Row& row) {
    for (const char* tare : {"Tare", "TareD", "TareW"})
        if (const auto t = field(row, tare)) return t;
    return std::nullopt;
}

void BookCalcFields(Row& row, const Settings& settings) {
    std::optional<qint64> nett;
    const auto brut = field(row, "Brut");
    const auto tare = bookTare(row);
    if (brut && tare) nett = *brut - *tare;
    row.set(QStringLiteral("TareN"), toVariant(tare));
    row.set(QStringLiteral("Nett"), toVariant(nett));
    row.set(QStringLiteral("DisL"), toVariant(longitudinalOffset(field(row, "BaseW"), field(row, "WeiL"), nett, settings.Didl)));
    bogieWeights(row, nett, field(row, "WeiL"), settings.Did);
}

QString TrainsDirectGetText(const Row& row) {
    const auto direc = field(row, "Direc");
    if (!direc) return field(row, "Train") ? QStringLiteral("Статич") : QString();
    return *direc == 0 ? QStringLiteral("Въезд") : QStringLiteral("Выезд");
}

QString TrainsNote1GetText(const Row& row) {
    return codeText(row, "Note", {"Обработан", "", "", "Локомотив", "Проблема в", "Проблема р", "Проблема о"});
}

QString TrainsWeiLGetText(const Row& row, const Settings& settings) { return stepText(row.value(QStringLiteral("WeiL")), settings.Did); }

QString TrainsSpeedGetText(const Row& row) {
    const auto tenths = field(row, "Speed");
    if (!tenths) return {};
    const qint64 whole = std::llabs(*tenths);
    return QStringLiteral("%1%2,%3").arg(*tenths < 0 ? QStringLiteral("-") : QString()).arg(whole / 10).arg(whole % 10);
}

QString WagonsWNote1GetText(const Row& row) { return methodText(row, "WNote"); }

QString WagonsWeiLGetText(const Row& row, const Settings& settings) { return stepText(row.value(QStringLiteral("WeiL")), settings.Dis); }

QString WagonsBaseWGetText(const Row& row, const Settings& settings) { return stepText(row.value(QStringLiteral("BaseW")), settings.Didl); }

QString WagonsDisSGetText(const Row& row, const Settings& settings) { return stepText(row.value(QStringLiteral("DisS")), settings.Dids); }

QString BookBNote1GetText(const Row& row) { return methodText(row, "BNote"); }

// A tare that was not weighed was typed: the row's TNote then names no weighing.
QString BookTNote1GetText(const Row& row) {
    if (!row.value(QStringLiteral("Tare")).isNull()) return methodText(row, "TNote");
    return bookTare(row) ? QStringLiteral("Вручную") : QString();
}

QString BookWeiLGetText(const Row& row, const Settings& settings) {
    const auto weil = field(row, "WeiL");
    QString text = stepText(row.value(QStringLiteral("WeiL")), settings.Dis);
    if (weil && !text.isEmpty() && std::llabs(*weil) >= 10000) text += QStringLiteral(" Н");
    return text;
}

QString BookDir1GetText(const Row& row) { return codeText(row, "Dir", {"Ввоз", "Вывоз", "Транзит"}); }

bool TrainsWagonEditable(const Row& row) {
    const auto note = field(row, "Note");
    return note && *note != 0 && *note != 3;
}

void installTrainsFields(Table& trains, const Settings& settings) {
    const Settings* s = &settings;
    trains.setCalcHandler([s](Row& row) { TrainsCalcFields(row, *s); });
    trains.setTextHandler(QStringLiteral("Direct"), TrainsDirectGetText);
    trains.setTextHandler(QStringLiteral("Note1"), TrainsNote1GetText);
    trains.setTextHandler(QStringLiteral("Speed"), TrainsSpeedGetText);
    trains.setTextHandler(QStringLiteral("WeiL"), [s](const Row& row) { return TrainsWeiLGetText(row, *s); });
}

void installWagonsFields(Table& wagons, const Settings& settings) {
    const Settings* s = &settings;
    wagons.setCalcHandler([s](Row& row) { WagonsCalcFields(row, *s); });
    wagons.setTextHandler(QStringLiteral("WNote1"), WagonsWNote1GetText);
    wagons.setTextHandler(QStringLiteral("WeiL"), [s](const Row& row) { return WagonsWeiLGetText(row, *s); });
    wagons.setTextHandler(QStringLiteral("BaseW"), [s](const Row& row) { return WagonsBaseWGetText(row, *s); });
    wagons.setTextHandler(QStringLiteral("DisS"), [s](const Row& row) { return WagonsDisSGetText(row, *s); });
}

void installBookFields(Table& book, const Settings& settings) {
    const Settings* s = &settings;
    book.setCalcHandler([s](Row& row) { BookCalcFields(row, *s); });
    book.setTextHandler(QStringLiteral("BNote1"), BookBNote1GetText);
    book.setTextHandler(QStringLiteral("TNote1"), BookTNote1GetText);
    book.setTextHandler(QStringLiteral("WeiL"), [s](const Row& row) { return BookWeiLGetText(row, *s); });
    book.setTextHandler(QStringLiteral("Dir1"), BookDir1GetText);
}

}  // namespace zv
