#pragma once

#include "records/row.h"
#include "settings/settings.h"

#include <QString>
#include <QVariant>

namespace zv {

class Table;

// Values and texts derived from a row when it is read or shown; nothing here is stored.
// A divisor of 0 (a step setting of 0, a Wagons.Weight or Book.Nett of 0) gives an empty value.

// R(v, s) = round(v / s) x s, halves to even, as shown text; empty for a null value or s = 0.
QString stepText(const QVariant& value, int step);

void TrainsCalcFields(Row& row, const Settings& settings);
void WagonsCalcFields(Row& row, const Settings& settings);
// Book: Nett, and TareN, the tare Nett is worked out with (weighed, else typed); DisL, WeiL0/1.
void BookCalcFields(Row& row, const Settings& settings);

QString TrainsDirectGetText(const Row& row);
QString TrainsNote1GetText(const Row& row);
QString TrainsWeiLGetText(const Row& row, const Settings& settings);
// The speed, stored in tenths of km/h, as km/h with one decimal after a comma: 77 -> "7,7".
QString TrainsSpeedGetText(const Row& row);
QString WagonsWNote1GetText(const Row& row);
QString WagonsWeiLGetText(const Row& row, const Settings& settings);
QString WagonsBaseWGetText(const Row& row, const Settings& settings);
QString WagonsDisSGetText(const Row& row, const Settings& settings);
QString BookBNote1GetText(const Row& row);
QString BookTNote1GetText(const Row& row);
QString BookWeiLGetText(const Row& row, const Settings& settings);
QString BookDir1GetText(const Row& row);

// The wagon number of a train-list row may be typed in unless the row is a static marker,
// processed or a locomotive (Note null, 0 or 3).
bool TrainsWagonEditable(const Row& row);

// Installs the handlers above on the tables; the settings are read at every use.
void installTrainsFields(Table& trains, const Settings& settings);
void installWagonsFields(Table& wagons, const Settings& settings);
void installBookFields(Table& book, const Settings& settings);

}  // namespace zv
