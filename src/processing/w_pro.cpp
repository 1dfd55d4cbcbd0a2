#include "processing/w_pro.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <cstdlib>
#include <exception>

#include "engine/engine_observer.h"
#include "processing/field_edit.h"
#include "processing/lookup_box.h"
#include "records/records_database.h"
#include "ui/guarded.h"
#include "ui/message_service.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"
#include "wagon_numbers/wagon_number_questions.h"

using zv::ProcessingMode;

namespace {

const QString kPlaceholder = QStringLiteral("N");
constexpr int kMaxTrain = 32767;
constexpr int kMinWeight = 1000;  // a lighter reading is not a wagon
constexpr int kMinBase = 3000;    // a shorter base is no measured base
constexpr int kHeavyImbalance = 10000;

enum BaseSource { Measured = 0, Entered = 1, ByType = 2, Earlier = 3 };

}  // namespace

TWPro::TWPro(QWidget* parent) : QDialog(parent) {
    setObjectName("WPro");
    setWindowTitle("ZOL - Обработка вагона");
    setModal(true);
}

void TWPro::setHost(WProHost* host) {
    if (host_ || !host) return;
    host_ = host;
    buildControls();
    connect(&wagons(), &zv::Table::currentChanged, this, [this] {
        if (isVisible()) refreshFields();
    });
}

zv::Table& TWPro::wagons() {
    return host_->records().Wagons();
}
zv::Table& TWPro::trains() {
    return host_->records().Trains();
}

void TWPro::guarded(const std::function<void()>& action) {
    zv::guarded(action);
}

bool TWPro::process(ProcessingMode mode) {
    if (!host_) return false;
    CBox1->setCurrentIndex(static_cast<int>(mode));
    return zv::showModal(*this) == QDialog::Accepted;
}

ProcessingMode TWPro::mode() const {
    return static_cast<ProcessingMode>(CBox1 ? CBox1->currentIndex() : 0);
}
int TWPro::exitLoad() const {
    return LCBoxL1 ? LCBoxL1->keyValue() : zv::kNothingChosen;
}
int TWPro::secondTrain() const {
    return LIEtr2 ? LIEtr2->Val() : 1;
}
int TWPro::entryLoad() {
    return wagons().toInt(QStringLiteral("Load"));
}
int TWPro::baseSource() const {
    return CBox2->currentIndex();
}
bool TWPro::bogieMode() const {
    return host_->settings().Npl == 0;
}

void TWPro::conditioningReading(const zv::ConditioningDisplay& display) {
    if (!Lw) return;
    Lw->setText(QString::number(display.ShownWeight));
    Lw->setStyleSheet(QStringLiteral("background-color: black; color: %1; padding: 2px;")
                          .arg(display.stable ? QStringLiteral("lime") : QStringLiteral("yellow")));
    if (baseSource() == Measured && !frozen_) LIEb->setVal(display.L3);
}

void TWPro::showNoLink() {
    if (!Lw || Lw->text() == QStringLiteral("Нет связи")) return;  // a style set again costs a polish
    Lw->setText(QStringLiteral("Нет связи"));
    Lw->setStyleSheet(QStringLiteral("background-color: black; color: red; padding: 2px;"));
}

void TWPro::showDebugButton(bool shown) {
    if (ButSim) ButSim->setVisible(shown);
}

void TWPro::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (host_ && !event->spontaneous()) guarded([this] { FormShow(); });
}

void TWPro::done(int result) {
    if (host_) guarded([this, result] { FormClose(result); });
    QDialog::done(result);
}

// ---------------------------------------------------------------- opening and closing

void TWPro::FormShow() {
    applyOptions();
    fillLookups();
    if (wagons().state() == zv::Table::State::Browse) wagons().edit();
    gravity_.reset();
    showLoadGravity(std::nullopt);
    if (!wagons().isNull(QStringLiteral("BaseW"))) CBox2->setCurrentIndex(Earlier);
    CBox2Change();
    resetBogie();
    const int train = openingTrainNumber();
    setGroupsEnabled(false, false);
    DBE1->setEnabled(mode() == ProcessingMode::StaticAcceptance ||
                     wagons().value(QStringLiteral("Wagon")).toString() == kPlaceholder);
    staticControls_->setVisible(isStatic(mode()));
    gravityPanels_->setCurrentWidget(P4a);
    if (isRelease(mode()))
        openRelease(train);
    else
        openAcceptance(train);
    refreshFields();
    if (DBE1->isEnabled())
        DBE1->setFocus();
    else
        DBE2->setFocus();
}

void TWPro::applyOptions() {
    if (!host_) return;
    const bool offsets = host_->settings().has(zv::params::ShowGravityOffsets);
    baseControls_->setVisible(offsets);
    gravityPanels_->setVisible(offsets);
    LaT->setVisible(bogieMode());
}

void TWPro::fillLookups() {
    for (LookupBox* box : {LCBoxB, LCBoxL, LCBoxL1, LCBoxS, LCBoxC}) box->fill();
}

void TWPro::resetBogie() {
    firstBogie_ = 0;
    LIEt->setVal(0);
    LIEt->hide();
    LaT->setText(QStringLiteral("Первая тележка"));
    But7->hide();
    But7->setEnabled(true);
    newMarker_ = false;
    newTrainOffered_ = false;
}

// Static weighings number their wagons after the last train: a static train marker is
// reused, anything else is followed by a new number.
int TWPro::openingTrainNumber() {
    zv::Table& t = trains();
    if (!isStatic(mode())) return t.toInt(QStringLiteral("Train"));
    host_->detachTrainList();
    t.setFiltered(false);
    t.last();
    if (!t.hasCurrentRow()) {
        newMarker_ = true;
        return 1;
    }
    if (t.isNull(QStringLiteral("Direc"))) {
        lastTrainRow_ = t.currentRow().rowId();
        newTrainOffered_ = true;
        But7->show();
        return t.toInt(QStringLiteral("Train"));
    }
    newMarker_ = true;
    const int next = t.toInt(QStringLiteral("Train")) + 1;
    return next > kMaxTrain ? 1 : next;
}

void TWPro::openRelease(int train) {
    showReleaseControls(true);
    const bool cameLoaded = entryLoad() != 0;
    La1->setText(cameLoaded ? QStringLiteral("Брутто") : QStringLiteral("Тара"));
    La2->setText(cameLoaded ? QStringLiteral("Тара") : QStringLiteral("Брутто"));
    LIEtr2->setVal(train);
    LCBoxL->setKey(wagons().value(QStringLiteral("Load")));
    LCBoxL->setEnabled(false);
    rememberedLoad_.reset();
    if (entryLoad() > 0) {
        LCBoxS->setKey(wagons().value(QStringLiteral("Station")));
        LCBoxC->setKey(wagons().value(QStringLiteral("Client")));
        E3->setText(wagons().value(QStringLiteral("Doc")).toString());
        LCBoxL1->setKey(0);
    } else {
        if (LCBoxL1->keyValue() == 0) LCBoxL1->setKey(QVariant());
        if (LCBoxL1->keyValue() <= 0) clearDocuments();
    }
    exitLoadRule();
}

void TWPro::openAcceptance(int train) {
    showReleaseControls(false);
    LCBoxL->setEnabled(true);
    setWagonValue(QStringLiteral("Train"), train);
    if (rememberedLoad_) setWagonValue(QStringLiteral("Load"), *rememberedLoad_);
    LCBoxL1->setKey(QVariant());
    entryLoadRule();
}

// The second weight and the exit load belong to a release only.
void TWPro::showReleaseControls(bool shown) {
    const QList<QWidget*> controls{DBE11, La2, DBE12, LaNett, LCBoxL1, LaL1, LIEtr2, LaTr2};
    for (QWidget* w : controls) w->setVisible(shown);
}

void TWPro::FormClose(int result) {
    if (result != QDialog::Accepted && wagons().isOpen() && wagons().hasCurrentRow()) {
        wagons().edit();
        wagons().clearValue(QStringLiteral("Wei2"));
    }
    if (isStatic(mode())) {
        trains().setFiltered(true);
        host_->restoreTrainList();
    }
}

// ---------------------------------------------------------------- rules

void TWPro::setGroupsEnabled(bool stations, bool weighing) {
    stationGroup_->setEnabled(stations);
    weighingGroup_->setEnabled(weighing);
}

void TWPro::clearDocuments() {
    LCBoxS->setKey(QVariant());
    LCBoxC->setKey(QVariant());
    E3->clear();
}

void TWPro::entryLoadRule() {
    const QVariant load = wagons().value(QStringLiteral("Load"));
    LCBoxL->setKey(load);
    if (load.isNull()) {
        rememberedLoad_.reset();
        clearDocuments();
        setGroupsEnabled(false, false);
        La1->clear();
    } else if (load.toInt() == 0) {
        rememberedLoad_ = 0;
        clearDocuments();
        setGroupsEnabled(false, true);
        La1->setText(QStringLiteral("Тара"));
    } else {
        rememberedLoad_ = load.toInt();
        setGroupsEnabled(true, true);
        La1->setText(QStringLiteral("Брутто"));
    }
}

void TWPro::exitLoadRule() {
    const int exit = exitLoad();
    if (exit >= 0 && exit == entryLoad()) {
        if (!zv::Messages::confirmation(
                QStringLiteral("Вагон выпускается транзитом \r\n(без разгрузки и погрузки)?")))
            LCBoxL1->setKey(QVariant());
    } else if (entryLoad() != 0 && exit > 0) {
        zv::Messages::information(QStringLiteral(
            "Если вагон сначала разгружен, а затем загружен без взвешивания\r\n"
            "пустого вагона, то его обработку следует выполнить в два этапа:\r\n"
            "1 - ввести тару вручную и отпустить вагон \"без груза\"\r\n"
            "2 - выполнить \"Отпустить без тары\", введя сведения о новом грузе"));
        LCBoxL1->setKey(0);
    }
    const int chosen = exitLoad();
    if (chosen < 0)
        setGroupsEnabled(false, false);
    else
        setGroupsEnabled(chosen > 0, true);
}

void TWPro::CBox2Change() {
    if (baseSource() == Earlier && wagons().isNull(QStringLiteral("BaseW"))) {
        CBox2->setCurrentIndex(Entered);
        LIEb->setVal(0);
        LIEb->setFocus();
    }
    typeControls_->setVisible(baseSource() == ByType);
    LIEb->setReadOnly(baseSource() != Entered);
    frozen_ = false;
    if (baseSource() == Earlier) LIEb->setVal(wagons().toInt(QStringLiteral("BaseW")));
    if (baseSource() == ByType) LCBoxBClick();
}

void TWPro::LCBoxBClick() {
    zv::Table& bases = host_->records().BasesW();
    if (LCBoxB->key().isNull() || !bases.findKey(LCBoxB->key())) return;
    LaB->setText(bases.value(QStringLiteral("Note")).toString());
    LIEb->setVal(bases.toInt(QStringLiteral("BaseW")));
}

void TWPro::DBE1Exit() {
    if (!isVisible() || !wagons().isNull(QStringLiteral("Wagon"))) return;
    setWagonValue(QStringLiteral("Wagon"), kPlaceholder);
    DBE1->refresh();
    DBE1->setFocus();
}

void TWPro::But6Click() {
    if (isRelease(mode())) {
        LCBoxL1->setKey(0);
        exitLoadRule();
    } else {
        setWagonValue(QStringLiteral("Load"), 0);
        entryLoadRule();
    }
}

void TWPro::But7Click() {
    if (isRelease(mode()))
        LIEtr2->setVal(LIEtr2->Val() + 1);
    else
        setWagonValue(QStringLiteral("Train"), wagons().toInt(QStringLiteral("Train")) + 1);
    But7->setEnabled(false);
    newMarker_ = true;
}

// ---------------------------------------------------------------- weighing at rest

void TWPro::But8Click() {
    const StaticReading reading = host_->staticReading();
    if (!reading.live) {
        zv::Messages::information(QStringLiteral("Нет связи с весами: взвесить нельзя"));
        return;
    }
    int weight = reading.shownWeight;
    if (bogieMode() && weight >= kMinWeight) {
        if (firstBogie_ == 0) {
            firstBogie_ = weight;
            LIEt->setVal(weight);
            LIEt->show();
            LaT->setText(QStringLiteral("Вторая тележка"));
            return;
        }
        weight += firstBogie_;
    }
    if (weight < kMinWeight) return;
    if (mode() == ProcessingMode::StaticAcceptance) {
        setWagonValue(QStringLiteral("Weight"), weight);
        setWagonValue(QStringLiteral("Time"), host_->records().clock().now());
        setWagonValue(QStringLiteral("WNote"), 0);
        setWagonValue(QStringLiteral("Name"), host_->currentOperator());
        if (baseSource() != Earlier) {
            setWagonValue(QStringLiteral("BsNote"), baseSource());
            frozen_ = true;
            if (LIEb->Val() >= kMinBase) {
                setWagonValue(QStringLiteral("BaseW"), LIEb->Val());
            } else {
                setWagonValue(QStringLiteral("BaseW"), QVariant());
                LIEb->setVal(0);
            }
        }
        setWagonValue(QStringLiteral("WeiL"), reading.netLoad0 - reading.netLoad1);
        setWagonValue(QStringLiteral("DisS"), reading.offTrans);
        return;
    }
    secondWeighing(weight);
}

void TWPro::secondWeighing(int weight) {
    zv::Table& w = wagons();
    if (exitLoad() > 0 && w.isNull(QStringLiteral("Weight")) && w.isNull(QStringLiteral("TareW")) &&
        w.isNull(QStringLiteral("TareD"))) {
        zv::Messages::information(QStringLiteral("Сначала введите вес тары!"));
        return;
    }
    setWagonValue(QStringLiteral("Wei2"), weight);
    gravityPanels_->setCurrentWidget(P4);
    frozen_ = true;
    if (LIEb->Val() < kMinBase) LIEb->setVal(0);

    const StaticReading reading = host_->staticReading();
    const zv::Settings& s = host_->settings();
    zv::LoadGravityInput in;
    in.newWeight = weight;
    in.weight = w.value(QStringLiteral("Weight"));
    in.disS = w.value(QStringLiteral("DisS"));
    in.weiL = w.value(QStringLiteral("WeiL"));
    in.tareD = w.value(QStringLiteral("TareD"));
    in.tareW = w.value(QStringLiteral("TareW"));
    in.offTrans = reading.offTrans;
    in.imbalance = reading.netLoad0 - reading.netLoad1;
    in.base = LIEb->Val();
    in.entryLoad = entryLoad();
    in.exitLoad = exitLoad();
    in.Dis = s.Dis;
    in.Didl = s.Didl;
    in.Dids = s.Dids;
    const auto gravity = zv::loadGravity(in);
    if (gravity) gravity_ = gravity;
    showLoadGravity(gravity_);
}

void TWPro::showLoadGravity(const std::optional<zv::LoadGravity>& gravity) {
    const zv::LoadGravity g = gravity.value_or(zv::LoadGravity{});
    LIEwl->setVal(g.wl);
    LIEdl->setVal(g.dl);
    LIEds->setVal(g.ds);
    const bool heavy = std::abs(g.wl) >= kHeavyImbalance;
    LIEwl->setStyleSheet(heavy ? QStringLiteral("background-color: rgb(255, 128, 128);")
                               : QString());
}

// ---------------------------------------------------------------- "Готово"

void TWPro::But1Click() {
    if (!readyToConfirm()) return;
    if (isRelease(mode())) writeReleaseResults();
    if (newMarker_) storeTrainMarker();
    accept();
}

bool TWPro::readyToConfirm() {
    zv::Table& w = wagons();
    if (w.isNull(QStringLiteral("Wagon"))) setWagonValue(QStringLiteral("Wagon"), kPlaceholder);
    if (w.value(QStringLiteral("Wagon")).toString() == kPlaceholder) {
        DBE1->setFocus();
        zv::Messages::information(QStringLiteral("Необходимо ввести номер вагона!"));
        return false;
    }
    if (isAcceptance(mode()) && !numberIsFree()) {
        zv::Messages::information(QStringLiteral("Вагон с таким номером уже есть на территории!"));
        return false;
    }
    // A number typed here (not one brought from the train list, asked about there).
    if (DBE1->isEnabled() &&
        !zv::confirmWagonNumber({w.value(QStringLiteral("Wagon")).toString(),
                                 QStringLiteral("Вагоны на территории"), 0})) {
        DBE1->setFocus();
        return false;
    }
    if (w.isNull(QStringLiteral("Load")) || (isRelease(mode()) && exitLoad() < 0)) {
        zv::Messages::information(QStringLiteral("Необходимы сведения о грузе!"));
        return false;
    }
    const bool noWeight = w.isNull(QStringLiteral("Weight"));
    const bool noSecond = w.isNull(QStringLiteral("Wei2"));
    if ((isAcceptance(mode()) && noWeight) ||
        (isRelease(mode()) && ((entryLoad() > 0 && noWeight) || (exitLoad() > 0 && noSecond)))) {
        zv::Messages::information(QStringLiteral("Необходим вес вагона!"));
        return false;
    }
    if (isRelease(mode()) && (noWeight || noSecond)) {
        if (w.isNull(QStringLiteral("TareD")) && w.isNull(QStringLiteral("TareW"))) {
            zv::Messages::information(QStringLiteral(
                "Необходим вес тары вагона\r\nЕсли нельзя взвесить, введите вручную!"));
            return false;
        }
        if (!zv::Messages::confirmation(QStringLiteral(
                "Отпустить вагон без взвешивания тары,\r\nиспользуя значение, введенное вручную?")))
            return false;
    }
    return documentsGiven();
}

// The row is posted under the placeholder for the look-up, so that it does not find itself.
bool TWPro::numberIsFree() {
    zv::Table& w = wagons();
    const QVariant typed = w.value(QStringLiteral("Wagon"));
    w.setValue(QStringLiteral("Wagon"), kPlaceholder);
    w.post();
    const qint64 row = w.currentRow().rowId();
    const bool taken = w.findKey(typed);
    w.locateRowId(row);
    w.edit();
    w.setValue(QStringLiteral("Wagon"), typed);
    return !taken;
}

bool TWPro::documentsGiven() {
    const bool required = isAcceptance(mode()) ? entryLoad() > 0 : exitLoad() > 0;
    if (!required) return true;
    if (LCBoxS->keyValue() < 0) {
        zv::Messages::information(QStringLiteral("Необходимо указать станцию!"));
        return false;
    }
    if (LCBoxC->keyValue() < 0) {
        zv::Messages::information(QStringLiteral("Необходимо указать получателя/отправителя!"));
        return false;
    }
    if (E3->text().size() < 3) {
        zv::Messages::information(QStringLiteral("Необходимо ввести номер документа!"));
        return false;
    }
    setWagonValue(QStringLiteral("Station"), LCBoxS->key());
    setWagonValue(QStringLiteral("Client"), LCBoxC->key());
    setWagonValue(QStringLiteral("Doc"), E3->text());
    return true;
}

void TWPro::writeReleaseResults() {
    if (baseSource() != Earlier) {
        setWagonValue(QStringLiteral("BsNote"), baseSource());
        setWagonValue(QStringLiteral("BaseW"),
                      LIEb->Val() >= kMinBase ? QVariant(LIEb->Val()) : QVariant());
    }
    if (mode() == ProcessingMode::StaticRelease) {
        // Without a load computation in this opening there are no load values to write.
        setWagonValue(QStringLiteral("WeiL"),
                      gravity_ ? QVariant(gravity_->imbalance) : QVariant());
        setWagonValue(QStringLiteral("DisS"), gravity_ ? QVariant(gravity_->ds) : QVariant());
        return;
    }
    setWagonValue(QStringLiteral("DisS"), QVariant());
    setWagonValue(
        QStringLiteral("WeiL"),
        zv::motionLoadImbalance(entryLoad(), exitLoad(), trains().value(QStringLiteral("WeiL")),
                                wagons().value(QStringLiteral("WeiL"))));
}

void TWPro::storeTrainMarker() {
    zv::Table& t = trains();
    const int train = isRelease(mode()) ? LIEtr2->Val() : wagons().toInt(QStringLiteral("Train"));
    if (newTrainOffered_ && t.locateRowId(lastTrainRow_)) t.remove();
    t.insertValues({{QStringLiteral("Train"), train},
                    {QStringLiteral("Time"), host_->records().clock().now()}});
}

// ---------------------------------------------------------------- helpers

void TWPro::openDictionary(int item) {
    guarded([this, item] {
        host_->openDictionary(item);
        fillLookups();
    });
}

void TWPro::refreshFields() {
    for (FieldEdit* edit : fields_) edit->refresh();
}

void TWPro::setWagonValue(const QString& field, const QVariant& value) {
    zv::Table& w = wagons();
    if (w.state() == zv::Table::State::Browse) w.edit();
    w.setValue(field, value);
}
