#include "app/catch_up_link.h"

#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "link/serial_link.h"
#include "records/table.h"
#include "ui/message_service.h"

CatchUpLink::CatchUpLink(zv::WeighingEngine& engine, const zv::Settings& settings, zv::SerialLink& link,
                         QTabWidget* pages, Store store, QObject* parent)
    : QObject(parent),
      settings_(settings),
      store_(std::move(store)),
      catchUp_(engine, settings, *this, *this),
      notice_(pages) {
    connect(&link, &zv::SerialLink::failed, this, [this] { linkBroke(); });
}

void CatchUpLink::tick(bool gateOpen, uint32_t nowMs) {
    catchUp_.tick(gateOpen, nowMs);
    notice_.show(catchUp_.noticeShown());
}

int CatchUpLink::storeFromEngine(const zv::StoredTrain& train) {
    const bool late = catchUp_.takeLateMark();
    const int number = store_(train);
    if (late) markLate(number);
    return number;
}

void CatchUpLink::tablesOpened(const zv::EventLog& log, const zv::Table& trains) {
    trains_ = &trains;
    late_.load(log);
}

void CatchUpLink::storeLateTrain(const zv::StoredTrain& train) {
    markLate(store_(train));
}

void CatchUpLink::markLate(int number) {
    if (number > 0 && trains_) late_.add(number, *trains_);
}

void CatchUpLink::passageStarted() {
    zv::Events::record(zv::event_kind::GatedPassage, QStringLiteral("начало"));
    notice_.show(true);
}

void CatchUpLink::passageEnded(int32_t maxLoadKg) {
    zv::Events::record(zv::event_kind::GatedPassage, QStringLiteral("конец"), {},
                       QStringLiteral("наибольшая нагрузка %1 кг").arg(maxLoadKg));
}

QString CatchUpLink::notWeighedText(zv::NotWeighedReason reason) const {
    if (reason == zv::NotWeighedReason::LinkLost)
        // The held samples before the break are still weighed, as a live train's wagons are.
        return QStringLiteral("Состав не взвешен полностью: связь с весами прервалась, пока взвешивание было "
                              "отключено. Вагоны, прошедшие весы до обрыва связи, будут взвешены, когда "
                              "взвешивание включится; вагон, бывший на весах в момент обрыва, не взвешивается");
    const auto seconds = static_cast<long>(catchUp_.capacity() / static_cast<std::size_t>(std::max(settings_.Fadc, 1)));
    const QString room = seconds >= 60 ? QStringLiteral("%1 мин").arg(seconds / 60) : QStringLiteral("%1 с").arg(seconds);
    return QStringLiteral("Состав не взвешен: взвешивание было отключено дольше, чем программа может "
                          "сохранить сигналы весов (%1)")
        .arg(room);
}

void CatchUpLink::passageNotWeighed(zv::NotWeighedReason reason) {
    const QString text = notWeighedText(reason);
    zv::Events::record(zv::event_kind::PassageNotWeighed,
                       reason == zv::NotWeighedReason::LinkLost ? QStringLiteral("связь прервалась")
                                                                 : QStringLiteral("не хватило памяти"),
                       {}, text);
    zv::Messages::information(text);
}
