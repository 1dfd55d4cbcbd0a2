#include "processing/wagon_acceptance.h"

#include <algorithm>
#include <exception>

#include "integrity/event_action.h"
#include "records/records_database.h"
#include "records/table.h"
#include "ui/message_service.h"

namespace zv {

namespace {

const QString kPlaceholder = QStringLiteral("N");

constexpr int kProcessed = 0;
constexpr int kWeighedInMotion = 1;
constexpr int kLocomotive = 3;

constexpr int kMethodStatic = 0;
constexpr int kMethodMotion = 1;
constexpr int kMethodProblem = 2;

bool isProblemNote(int note) {
    return note >= 4 && note <= 6;
}

const QString kAcceptQuestion =
    QStringLiteral("Результат взвешивания может быть не точным\r\nПринять этот вагон?");
const QString kReleaseQuestion =
    QStringLiteral("Результат взвешивания может быть не точным\r\nОтпустить этот вагон?");

}  // namespace

void removePlaceholderRow(Table& wagons) {
    if (wagons.isOpen() && wagons.findKey(kPlaceholder)) {
        wagons.remove();
        wagons.flush();
    }
}

int releaseDirection(int entryLoad, int exitLoad) {
    if (exitLoad == entryLoad) return 2;
    return exitLoad > 0 ? 1 : 0;
}

WagonAcceptance::WagonAcceptance(RecordsDatabase& records, WagonWindow& window,
                                 OperatorNumber currentOperator)
    : records_(records), window_(window), currentOperator_(std::move(currentOperator)) {}

void WagonAcceptance::But1Click(bool staticPage) {
    const EventAction logged = EventAction::wagonAccepted();
    run(false, [&] { staticPage ? acceptStatic() : acceptDynamic(); });
}

void WagonAcceptance::But2Click(bool staticPage, bool withoutTare) {
    const EventAction logged = EventAction::wagonReleased();
    run(true, [&] { staticPage ? releaseStatic(withoutTare) : releaseDynamic(); });
}

// An error of the engine ends the attempt with its message; the row made for the attempt
// goes with it, so a half-done acceptance never stays on the territory.
void WagonAcceptance::run(bool release, const std::function<void()>& attempt) {
    createdRow_ = 0;
    try {
        attempt();
    } catch (const std::exception& e) {
        Messages::error(QString::fromUtf8(e.what()));
        try {
            records_.Wagons().cancel();
            discardAttempt();
        } catch (const std::exception& again) {
            Messages::error(QString::fromUtf8(again.what()));
        }
    }
    createdRow_ = 0;
    try {
        finishAttempt(release);
    } catch (const std::exception& e) {
        Messages::error(QString::fromUtf8(e.what()));
    }
}

void WagonAcceptance::finishAttempt(bool release) {
    Table& wagons = records_.Wagons();
    if (wagons.isOpen()) wagons.flush();
    removePlaceholderRow(wagons);
    if (records_.Trains().isOpen()) records_.Trains().flush();
    if (release && records_.Book().isOpen()) records_.Book().flush();
}

// Steps shared by acceptance and release on the dynamic page: the weight, the number, the
// state of the row and the gate on problem rows.
bool WagonAcceptance::trainRowUsable(const QString& question) {
    Table& trains = records_.Trains();
    const Settings& settings = records_.settings();
    const int weight = trains.hasCurrentRow() ? trains.toInt(QStringLiteral("Weight")) : 0;
    if (weight < settings.Wmin || weight > settings.Wmax) {
        Messages::information(QStringLiteral(
            "Этот вагон взвешен с ошибкой (вес меньше минимального или больше максимального)!"));
        return false;
    }
    if (trains.isNull(QStringLiteral("Wagon"))) {
        Messages::information(QStringLiteral("Введите в таблицу номер вагона!"));
        return false;
    }
    if (trains.toInt(QStringLiteral("Note")) == kProcessed) {
        Messages::information(QStringLiteral("Этот вагон уже обработан!"));
        return false;
    }
    return question.isEmpty() || noteGatePasses(trains.toInt(QStringLiteral("Note")), question);
}

bool WagonAcceptance::noteGatePasses(int note, const QString& question) const {
    if (note == kWeighedInMotion) return true;
    if (note == kLocomotive || !isProblemNote(note)) return false;
    if (!records_.settings().has(params::AllowProblemWagons)) return false;
    return Messages::warningQuestion(question);
}

void WagonAcceptance::createWagonRow(const QList<std::pair<QString, QVariant>>& values) {
    Table& wagons = records_.Wagons();
    wagons.insertValues(values);
    createdRow_ = wagons.currentRow().rowId();
}

// A cancelled window leaves the territory as it found it: what was typed into a wagon
// already there is discarded, and a row made for the attempt goes.
void WagonAcceptance::discardAttempt() {
    Table& wagons = records_.Wagons();
    if (!wagons.isOpen()) return;
    wagons.cancel();
    if (createdRow_ != 0 && wagons.locateRowId(createdRow_)) wagons.remove();
    createdRow_ = 0;
}

void WagonAcceptance::markTrainRowProcessed(qint64 trainRow) {
    Table& trains = records_.Trains();
    if (trains.currentRow().rowId() != trainRow) trains.locateRowId(trainRow);
    trains.edit();
    trains.setValue(QStringLiteral("Note"), kProcessed);
    trains.post();
}

void WagonAcceptance::acceptDynamic() {
    Table& trains = records_.Trains();
    Table& wagons = records_.Wagons();
    removePlaceholderRow(wagons);
    if (!trainRowUsable({})) return;
    const QVariant number = trains.value(QStringLiteral("Wagon"));
    if (wagons.findKey(number)) {
        Messages::information(QStringLiteral("Вагон № ") + number.toString() +
                              QStringLiteral(" уже есть на территории!"));
        return;
    }
    if (!noteGatePasses(trains.toInt(QStringLiteral("Note")), kAcceptQuestion)) return;

    const qint64 trainRow = trains.currentRow().rowId();
    const int note = trains.toInt(QStringLiteral("Note"));
    createWagonRow({
        {QStringLiteral("Wagon"), number},
        {QStringLiteral("Time"), trains.value(QStringLiteral("Time"))},
        {QStringLiteral("Train"), trains.value(QStringLiteral("Train"))},
        {QStringLiteral("Weight"), trains.value(QStringLiteral("Weight"))},
        {QStringLiteral("WNote"), isProblemNote(note) ? kMethodProblem : kMethodMotion},
        {QStringLiteral("Name"), currentOperator_()},
        {QStringLiteral("WeiL"), trains.value(QStringLiteral("WeiL"))},
        {QStringLiteral("BaseW"), trains.value(QStringLiteral("BaseW"))},
        {QStringLiteral("BsNote"), 4},
        {QStringLiteral("DisS"), trains.value(QStringLiteral("DisS"))},
    });
    if (!window_.process(ProcessingMode::DynamicAcceptance)) {
        discardAttempt();
        return;
    }
    wagons.post();
    createdRow_ = 0;
    markTrainRowProcessed(trainRow);
}

void WagonAcceptance::acceptStatic() {
    Table& wagons = records_.Wagons();
    removePlaceholderRow(wagons);
    createWagonRow({{QStringLiteral("Wagon"), kPlaceholder}});
    if (!window_.process(ProcessingMode::StaticAcceptance)) {
        discardAttempt();
        return;
    }
    wagons.post();
    createdRow_ = 0;
}

void WagonAcceptance::releaseDynamic() {
    Table& trains = records_.Trains();
    Table& wagons = records_.Wagons();
    removePlaceholderRow(wagons);
    const int method =
        isProblemNote(trains.toInt(QStringLiteral("Note"))) ? kMethodProblem : kMethodMotion;
    if (!trainRowUsable(kReleaseQuestion)) return;

    const qint64 trainRow = trains.currentRow().rowId();
    const QVariant number = trains.value(QStringLiteral("Wagon"));
    if (!wagons.findKey(number))
        createWagonRow({{QStringLiteral("Wagon"), number}, {QStringLiteral("Load"), 0}});
    wagons.edit();
    wagons.setValue(QStringLiteral("Wei2"), trains.value(QStringLiteral("Weight")));
    if (!window_.process(ProcessingMode::DynamicRelease)) {
        discardAttempt();
        return;
    }
    writeBookRow({trains.value(QStringLiteral("Weight")), method,
                  trains.value(QStringLiteral("Time")), trains.value(QStringLiteral("Train"))});
    wagons.remove();
    createdRow_ = 0;
    markTrainRowProcessed(trainRow);
}

void WagonAcceptance::releaseStatic(bool withoutTare) {
    Table& wagons = records_.Wagons();
    removePlaceholderRow(wagons);
    if (withoutTare) {
        createWagonRow({{QStringLiteral("Wagon"), kPlaceholder}, {QStringLiteral("Load"), 0}});
    } else if (wagons.isEmpty() || !wagons.hasCurrentRow()) {
        // Nothing to release: the window could not be completed on an empty row.
        Messages::information(QStringLiteral("Нет вагонов на территории"));
        return;
    }
    wagons.edit();
    wagons.clearValue(QStringLiteral("Wei2"));
    if (!window_.process(ProcessingMode::StaticRelease)) {
        discardAttempt();
        return;
    }
    writeBookRow({wagons.value(QStringLiteral("Wei2")), kMethodStatic, records_.clock().now(),
                  window_.secondTrain()});
    wagons.remove();
    createdRow_ = 0;
}

// The book row is written whole in one insert before the wagon leaves Wagons, so a refusal
// of the engine leaves the wagon on the territory and nothing half written in the book.
void WagonAcceptance::writeBookRow(const SecondWeighing& second) {
    const Table& wagons = records_.Wagons();
    const int entryLoad = wagons.toInt(QStringLiteral("Load"));
    const int exitLoad = window_.exitLoad();
    const QVariant firstWeight = wagons.value(QStringLiteral("Weight"));
    const bool leavesLoaded = exitLoad > 0;
    // A weight that was not taken has no method: the book's tare is then the one typed.
    const auto methodOf = [](const QVariant& weight, const QVariant& method) {
        return weight.isNull() ? QVariant() : method;
    };
    const QVariant firstMethod = methodOf(firstWeight, wagons.value(QStringLiteral("WNote")));
    const QVariant secondMethod = methodOf(second.weight, second.method);

    QList<std::pair<QString, QVariant>> values{
        {QStringLiteral("Wagon"), wagons.value(QStringLiteral("Wagon"))},
        {QStringLiteral("Time1"), wagons.value(QStringLiteral("Time"))},
        {QStringLiteral("Time2"), second.time},
        {QStringLiteral("Train1"), wagons.value(QStringLiteral("Train"))},
        {QStringLiteral("Train2"), second.train},
        {QStringLiteral("Brut"), leavesLoaded ? second.weight : firstWeight},
        {QStringLiteral("BNote"), leavesLoaded ? secondMethod : firstMethod},
        {QStringLiteral("Tare"), leavesLoaded ? firstWeight : second.weight},
        {QStringLiteral("TNote"), leavesLoaded ? firstMethod : secondMethod},
        {QStringLiteral("Load"), std::max(entryLoad, exitLoad)},
        {QStringLiteral("Dir"), releaseDirection(entryLoad, exitLoad)},
        {QStringLiteral("Name1"), wagons.value(QStringLiteral("Name"))},
        {QStringLiteral("Name2"), currentOperator_()},
    };
    for (const char* field : {"NLoad", "WeiL", "BaseW", "BsNote", "DisS", "Station", "Client",
                              "Doc", "BrutD", "TareD", "NettD", "NLoadD", "TareW", "Note"})
        values.append({QString::fromLatin1(field), wagons.value(QString::fromLatin1(field))});
    records_.Book().insertValues(values);
}

}  // namespace zv
