#include "integrity/event_action.h"

#include "integrity/event_kinds.h"
#include "records/row.h"

#include <QUuid>

namespace zv {

EventAction::EventAction(QString kind, QString table, std::initializer_list<Change> counted, Describe describe)
    : kind_(std::move(kind)),
      table_(std::move(table)),
      token_(QUuid::createUuid().toString(QUuid::WithoutBraces)),
      counted_(counted),
      describe_(std::move(describe)),
      outer_(current_) {
    current_ = this;
}

EventAction::~EventAction() { current_ = outer_; }

bool EventAction::counts(Change change) const { return counted_.contains(change); }

namespace {

QString text(const Row& row, const char* field) { return row.value(QString::fromLatin1(field)).toString(); }

}  // namespace

EventAction EventAction::trainStored() {
    return EventAction(event_kind::TrainStored, QStringLiteral("Trains"), {Change::Insert}, [](const Row& row) {
        return std::pair(QStringLiteral("Состав %1").arg(text(row, "Train")), QStringLiteral("вагонов: %n"));
    });
}

EventAction EventAction::trainDeleted() {
    return EventAction(event_kind::TrainDeleted, QStringLiteral("Trains"), {Change::Remove}, [](const Row& row) {
        return std::pair(QStringLiteral("Состав %1").arg(text(row, "Train")), QStringLiteral("удалено вагонов: %n"));
    });
}

EventAction EventAction::trainsRenumbered() {
    return EventAction(event_kind::TrainsRenumbered, QStringLiteral("Trains"), {Change::Remove}, [](const Row&) {
        return std::pair(QStringLiteral("Trains"), QStringLiteral("удалено записей: %n; нумерация с 1"));
    });
}

EventAction EventAction::wagonAccepted() {
    return EventAction(event_kind::WagonAccepted, QStringLiteral("Wagons"), {Change::Insert, Change::Update}, [](const Row& row) {
        return std::pair(QStringLiteral("Вагон %1").arg(text(row, "Wagon")),
                         QStringLiteral("состав %1, масса %2").arg(text(row, "Train"), text(row, "Weight")));
    });
}

EventAction EventAction::wagonReleased() {
    return EventAction(event_kind::WagonReleased, QStringLiteral("Book"), {Change::Insert, Change::Update}, [](const Row& row) {
        return std::pair(QStringLiteral("Вагон %1").arg(text(row, "Wagon")),
                         QStringLiteral("состав %1, запись книги %2, брутто %3, тара %4")
                             .arg(text(row, "Train2"), text(row, "N"), text(row, "Brut"), text(row, "Tare")));
    });
}

}  // namespace zv
