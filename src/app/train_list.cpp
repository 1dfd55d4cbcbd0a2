#include "app/train_list.h"

#include "integrity/event_action.h"
#include "records/records_database.h"
#include "ui/flag_guard.h"
#include "ui/message_service.h"
#include "ui/tlie_edit.h"

namespace {

QString trainFilter(const char* relation, int n) {
    return QString("Train%1%2").arg(relation).arg(n);
}

// Detaches the train grid for the time of a change that passes through other filters.
class DetachedGrid {
  public:
    explicit DetachedGrid(zv::RecordsDatabase& records) : records_(records) {
        records_.DSouT().detach();
    }
    ~DetachedGrid() { records_.DSouT().attach(); }
    DetachedGrid(const DetachedGrid&) = delete;
    DetachedGrid& operator=(const DetachedGrid&) = delete;

  private:
    zv::RecordsDatabase& records_;
};

}  // namespace

TrainList::TrainList(zv::RecordsDatabase& records, TLIEdit& LIEtr, TrainPassing trainPassing)
    : records_(records), LIEtr_(LIEtr), trainPassing_(std::move(trainPassing)) {}

int TrainList::selected() const {
    return LIEtr_.Val();
}

void TrainList::select(int train) {
    LIEtr_.setVal(train);
    records_.setSelectedTrain(LIEtr_.Val());
}

void TrainList::showSelected() {
    records_.setSelectedTrain(selected());
    records_.showSelectedTrain();
}

void TrainList::But11Click() {
    zv::FlagGuard flag(deleting_);
    const int n = selected();
    zv::Table& trains = records_.Trains();
    if (!trains.filtered() || trains.filter() != trainFilter("=", n)) {
        showSelected();
        zv::Messages::information("Выбран состав" + QString::number(n));
        return;
    }
    if (trains.isEmpty()) {
        zv::Messages::information("Нет состава с таким номером");
        return;
    }
    if (!confirmDeletion(n)) return;
    if (!removeRows()) return;
    selectNeighbour(n);
}

bool TrainList::confirmDeletion(int n) {
    zv::Table& trains = records_.Trains();
    trains.setFilter(trainFilter(">", n));
    const bool highest = trains.isEmpty();
    trains.setFilter(trainFilter("=", n));
    if (highest &&
        !zv::Messages::warningQuestion(
            "Этот состав взвешен последним.\r\nПри его удалении изменится нумерация следующих "
            "составов.\r\n(при удалении всех составов нумерация начнется с 1)\r\nУдалить?"))
        return false;

    trains.first();
    if (trains.isNull("Direc")) {
        if (!zv::Messages::warningQuestion(
                "Этот номер состава использован при статическом взвешивании!\r\nУдалить?"))
            return false;
    } else if (!zv::Messages::confirmation("Удалить состав?")) {
        return false;
    }

    bool unprocessed = false;
    for (const zv::Row& row : trains.readFilteredRows())
        unprocessed = unprocessed || (!row.isNull("Note") && row.toInt("Note") == 1);
    if (unprocessed &&
        !zv::Messages::warningQuestion("Состав содержит необработанные вагоны!\r\nУдалить?"))
        return false;
    return true;
}

// Deletes the train row by row; a train arriving meanwhile stops it where it is.
bool TrainList::removeRows() {
    const zv::EventAction logged = zv::EventAction::trainDeleted();
    zv::Table& trains = records_.Trains();
    trains.first();
    while (!trains.isEmpty()) {
        if (trainPassing_ && trainPassing_()) return false;
        trains.first();
        trains.remove();
    }
    trains.flush();
    return true;
}

void TrainList::selectNeighbour(int n) {
    DetachedGrid detached(records_);
    int next = neighbour("<", n, true);
    if (next == 0) next = neighbour(">", n, false);
    if (next != 0) select(next);
    showSelected();
}

int TrainList::neighbour(const char* relation, int n, bool last) {
    zv::Table& trains = records_.Trains();
    trains.setFilter(trainFilter(relation, n));
    trains.setFiltered(true);
    if (last)
        trains.last();
    else
        trains.first();
    return trains.hasCurrentRow() ? trains.toInt("Train") : 0;
}

void TrainList::SpinBut1UpClick() {
    DetachedGrid detached(records_);
    if (const int next = neighbour(">", selected(), false); next != 0) select(next);
    showSelected();
}

void TrainList::SpinBut1DownClick() {
    DetachedGrid detached(records_);
    if (const int previous = neighbour("<", selected(), true); previous != 0) select(previous);
    showSelected();
}

void TrainList::But4Click() {
    zv::Table& trains = records_.Trains();
    trains.setFiltered(false);
    if (!trains.isEmpty() &&
        zv::Messages::warningQuestion(
            "Все результаты из таблицы Составы будут удалены.\r\nПродолжить?")) {
        const zv::EventAction logged = zv::EventAction::trainsRenumbered();
        trains.first();
        while (!trains.isEmpty()) {
            trains.first();
            trains.remove();
        }
        select(1);
        trains.flush();
    }
    trains.setFiltered(true);
}

void TrainList::N23Click() {
    DetachedGrid detached(records_);
    zv::Table& trains = records_.Trains();
    trains.setFilter("Direc <> NULL");
    trains.setFiltered(true);
    if (preview_) preview_();
    showSelected();
}

void TrainList::DelWN() {
    zv::Table& wagons = records_.Wagons();
    if (wagons.isOpen() && wagons.findKey(QStringLiteral("N"))) {
        wagons.remove();
        wagons.flush();
    }
}
