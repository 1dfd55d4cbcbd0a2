#include "app/late_trains.h"

#include <QRegularExpression>

#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/events.h"
#include "records/date_time_text.h"
#include "records/derived_fields.h"
#include "records/row.h"
#include "records/table.h"

namespace {

const QString kMark = QStringLiteral("взвешен позже");

}  // namespace

void LateTrains::load(const zv::EventLog& log) {
    ranges_.clear();
    if (!log.isOpen()) return;
    static const QRegularExpression times(
        QStringLiteral("(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}) — (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3})"));
    for (const zv::Event& event : log.read({{}, {}, zv::event_kind::TrainWeighedLate})) {
        const QRegularExpressionMatch m = times.match(event.newValue);
        if (m.hasMatch())
            ranges_.append({zv::dateTimeFromStorage(m.captured(1)), zv::dateTimeFromStorage(m.captured(2))});
    }
}

void LateTrains::add(int number, const zv::Table& trains) {
    QDateTime first, last;
    int wagons = 0;
    for (const zv::Row& row : trains.readFilteredRows()) {
        if (row.isNull(QStringLiteral("Direc"))) continue;  // the static marker of a train
        const QDateTime time = row.value(QStringLiteral("Time")).toDateTime();
        if (!first.isValid() || time < first) first = time;
        if (!last.isValid() || time > last) last = time;
        ++wagons;
    }
    if (wagons == 0) return;
    ranges_.append({first, last});
    zv::Events::record(zv::event_kind::TrainWeighedLate, QStringLiteral("Состав %1").arg(number), {},
                       QStringLiteral("вагонов %1; %2 — %3")
                           .arg(wagons)
                           .arg(zv::dateTimeToStorage(first), zv::dateTimeToStorage(last)));
}

bool LateTrains::covers(const QDateTime& time) const {
    for (const auto& range : ranges_)
        if (time >= range.first && time <= range.second) return true;
    return false;
}

QString LateTrains::note(const zv::Row& row) const {
    const QString text = zv::TrainsNote1GetText(row);
    if (ranges_.isEmpty() || !covers(row.value(QStringLiteral("Time")).toDateTime())) return text;
    return text.isEmpty() ? QStringLiteral("Взвешен позже") : text + QStringLiteral(", ") + kMark;
}
