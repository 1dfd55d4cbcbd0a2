#include "admin/setup_w.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "admin/admin_host.h"
#include "admin/pass_dlg.h"
#include "admin/save_close.h"
#include "admin/weighing_verdict_view.h"
#include "commissioning/weighing_check.h"
#include "engine/engine_observer.h"
#include "engine/weighing_engine.h"
#include "integrity/events.h"
#include "link/serial_link.h"
#include "ui/message_service.h"
#include "ui/screen_fit.h"

#include <QScrollArea>
#include "ui/tlie_edit.h"

namespace {

constexpr int32_t kBadDebugCode = 1000;

// Inputs present on a platform (offsets from its first slot) by the `Nadc` item index.
bool inputPresent(int nadcIndex, int offset) {
    switch (nadcIndex) {
        case 0:
            return offset == 0;
        case 1:
            return offset == 0 || offset == 2;
        default:
            return true;
    }
}

// The calibration type that the number of inputs per platform allows or starts with.
zv::CalibrationType typeForInputs(int nadcIndex) {
    switch (nadcIndex) {
        case 0:
            return zv::CalibrationType::Independent;
        case 1:
            return zv::CalibrationType::PairRatio;
        default:
            return zv::CalibrationType::None;
    }
}

// A cell of the debug grid as a converter code; what is not one counts as 1000.
uint16_t debugCode(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value >= 0 && value <= 0xFFFF ? static_cast<uint16_t>(value) : kBadDebugCode;
}

// What turns codes into loads: a zero set before such a change means nothing after it.
bool loadsChange(const zv::Settings& before, const zv::Settings& after) {
    return before.a0 != after.a0 || before.ak != after.ak || before.Npl != after.Npl ||
           before.Nadc != after.Nadc;
}

void selectText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text, Qt::MatchFixedString));
}

}  // namespace

TSetupW::TSetupW(QWidget* parent) : QDialog(parent) {
    setObjectName("SetupW");
    setWindowTitle("ZOL - Параметры весов");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    PCon1 = new QTabWidget(this);
    PCon1->setObjectName("PCon1");
    TS1 = buildConnectionPage();
    TS2 = buildParametersPage();
    TS3 = buildCalibrationPage();
    PCon1->addTab(TS1, "Подключение");
    PCon1->addTab(zv::scrollablePage(TS2), "Параметры");
    PCon1->addTab(zv::scrollablePage(TS3), "Калибровка");
    layout->addWidget(PCon1, 1);

    const SaveCloseButtons buttons = addSaveCloseButtons(this, layout);
    But1 = buttons.save;
    But2 = buttons.close;
    connect(But1, &QPushButton::clicked, this, &TSetupW::But1Click);
    connect(PCon1, &QTabWidget::currentChanged, this, &TSetupW::PCon1Change);

    CCBox2->addItems(zv::SerialLink::baudRateNames());
    CCBox3->addItems(zv::SerialLink::parityNames());
    const zv::Settings defaults;
    UpdateSetupW(defaults);
    source_ = nullptr;
}

TSetupW::~TSetupW() = default;

void TSetupW::setHost(AdminHost* host) {
    host_ = host;
    if (!host_) return;
    source_ = &host_->settings();
}

void TSetupW::setPassDlg(TPassDlg* dialog) { passDlg_ = dialog; }

TPassDlg& TSetupW::passDlg() {
    if (!passDlg_) passDlg_ = new TPassDlg(this);
    return *passDlg_;
}

int TSetupW::currentPage() const { return PCon1->currentIndex(); }

void TSetupW::setCurrentPage(int index) { PCon1->setCurrentIndex(index); }

zv::CalibrationType TSetupW::calibrationType() const {
    return static_cast<zv::CalibrationType>(std::max(0, CBox30->currentIndex()));
}

zv::CalibrationKeys TSetupW::calibrationKeys() const {
    const bool unlocked = isVisible() && currentPage() == Calibration && TS3->isEnabled();
    return unlocked ? zv::CalibrationKeys::Write : zv::CalibrationKeys::Keep;
}

// Filling and taking back

void TSetupW::UpdateSetupW(const zv::Settings& s) {
    source_ = &s;
    for (std::size_t i = 0; i < kScaleParameterEdits.size(); ++i)
        parameterEdits_[i]->setVal(s.*kScaleParameterEdits[i].key);
    CBox21->setCurrentIndex(std::clamp(s.Npl, 0, 1));
    CBox21Change();
    CBox22->setCurrentIndex(std::clamp(s.Nadc, 0, 2));
    CBox22Change();
    // A value the program does not know weighs by the defined method and is shown as it.
    CBox23->setCurrentIndex(s.WeighMethod == 1 ? 1 : 0);
    for (int i = 0; i < 8; ++i) LIEa[i]->setVal(s.a0[i]);
    for (int i = 0; i < 8; i += 2) LIEk[i]->setVal(s.ak[i]);
    fillConnection(s);
    if (host_) host_->applyOptions();
    unsaved_ = false;
}

void TSetupW::Updateaka(const zv::Settings& s) {
    const bool ratios = calibrationType() == zv::CalibrationType::PairRatio;
    for (int i = 1; i < 8; i += 2)
        LIEk[i]->setVal(ratios ? zv::pairRatio(s.ak[i], s.ak[i - 1]) : s.ak[i]);
    LaK->setText(ratios ? " K.пр/K.лев" : "Коэффиц.");
}

void TSetupW::ApplySetupW(zv::Settings& s) const {
    for (std::size_t i = 0; i < kScaleParameterEdits.size(); ++i)
        s.*kScaleParameterEdits[i].key = parameterEdits_[i]->Val();
    s.Npl = CBox21->currentIndex();
    s.Nadc = CBox22->currentIndex();
    s.WeighMethod = CBox23->currentIndex();
    for (int i = 0; i < 8; ++i) s.a0[i] = LIEa[i]->Val();
    const bool ratios = calibrationType() == zv::CalibrationType::PairRatio;
    for (int i = 0; i < 8; i += 2) {
        s.ak[i] = LIEk[i]->Val();
        // A ratio times a large coefficient could leave the range the file can hold.
        s.ak[i + 1] = ratios ? zv::storedCoefficient(zv::coefficientFromRatio(LIEk[i + 1]->Val(), s.ak[i]))
                             : LIEk[i + 1]->Val();
    }
}

// Showing and closing

void TSetupW::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    FormShow();
    if (currentPage() != Calibration) return;
    // The code is asked once the window stands on the screen; until then the page is locked.
    TS3->setEnabled(false);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && currentPage() == Calibration) TS3Show();
    });
}

void TSetupW::FormShow() {
    unsaved_ = false;
    if (source_) fillConnection(*source_);
    showVerdict();  // Vmax may have changed in the program settings meanwhile
}

void TSetupW::done(int result) {
    if (!FormClose()) return;
    QDialog::done(result);
}

bool TSetupW::FormClose() {
    if (!mayCloseUnsaved(But2, unsaved_)) return false;
    if (source_) UpdateSetupW(*source_);
    return true;
}

void TSetupW::PCon1Change(int index) {
    if (index == Calibration && isVisible()) TS3Show();
}

void TSetupW::TS3Show() {
    if (CBox22->currentIndex() == 2) {
        CBox30->setCurrentIndex(0);
        CBox30Change();
    }
    TS3->setEnabled(false);
    showCalibrationCounter();
    TS3->setEnabled(passDlg().confirms(zv::Events::accessCode()));
}

void TSetupW::showCalibrationCounter() { CalibCount->setText(zv::Events::calibrationCaption()); }

// Connection page

void TSetupW::fillConnection(const zv::Settings& s) {
    const QString port = host_ ? host_->link().portName() : QString::fromStdString(s.Port);
    CCBox1->clear();
    CCBox1->addItems(zv::SerialLink::availablePorts(port));
    selectText(CCBox1, port);
    selectText(CCBox2, host_ ? host_->link().baudRate() : QString::fromStdString(s.BaudRate));
    selectText(CCBox3, host_ ? host_->link().parity() : QString::fromStdString(s.Parity));
    // A port that failed is no disconnection: the box shows what the engineer chose.
    ChBox11->setChecked(s.Connect);
    GroupBox1->setEnabled(!s.Connect);
    if (host_) showLinkState(host_->linkState());
}

void TSetupW::showLinkState(const QString& state) {
    LaLink->setText(state);
}

// Only a choice marks the window: merely passing through a selector (the focus starts in
// the port selector) would otherwise ask the closing question about nothing.
void TSetupW::CCBox1Exit() { unsaved_ = true; }

void TSetupW::CCBox1Change() {
    if (host_) host_->link().setPortName(CCBox1->currentText());
    CCBox1Exit();
}

void TSetupW::CCBox2Change() {
    if (host_) host_->link().setBaudRate(CCBox2->currentText());
    CCBox1Exit();
}

void TSetupW::CCBox3Change() {
    if (host_) host_->link().setParity(CCBox3->currentText());
    CCBox1Exit();
}

void TSetupW::ChBox11Click() {
    unsaved_ = true;
    if (!host_) return;
    zv::Settings& s = host_->settings();
    if (ChBox11->isChecked()) host_->link().decoder().setLayout(s.Nadc, s.Npl);
    if (!host_->connectLink(ChBox11->isChecked())) {
        zv::Messages::information(zv::SerialLink::portUnavailableText(host_->link().portName()));
        ChBox11->setChecked(false);
    }
    GroupBox1->setEnabled(!ChBox11->isChecked());
    showLinkState(host_->linkState());
}

// Parameters page

void TSetupW::LIE21Exit() {
    if (auto* edit = qobject_cast<TLIEdit*>(sender()); edit && edit->valModified()) unsaved_ = true;
}

void TSetupW::CBox21Change() {
    showInputRows();
    CBox30Change();
    showVerdict();
    unsaved_ = true;
}

void TSetupW::CBox22Change() {
    const int nadc = CBox22->currentIndex();
    CBox30->setCurrentIndex(static_cast<int>(typeForInputs(nadc)));
    CBox30->setEnabled(nadc == 2);
    CBox30Change();
    showInputRows();
    showVerdict();
    unsaved_ = true;
}

void TSetupW::CBox23Change() {
    showVerdict();
    unsaved_ = true;
}

void TSetupW::showInputRows() {
    const int npl = CBox21->currentIndex();
    const int nadc = CBox22->currentIndex();
    for (int i = 0; i < 8; ++i) rows_[i]->setVisible(i / 4 <= npl && inputPresent(nadc, i % 4));
    platform2Loads_->setVisible(npl == 1);
}

bool TSetupW::filterCutoffsAllowed() {
    auto valueOf = [this](int32_t zv::Settings::*key) {
        for (std::size_t i = 0; i < kScaleParameterEdits.size(); ++i)
            if (kScaleParameterEdits[i].key == key) return parameterEdits_[i]->Val();
        return 0;
    };
    const int32_t fadc = valueOf(&zv::Settings::Fadc);
    // At or above half the conversion rate the low-pass filters cannot be built.
    if (2 * valueOf(&zv::Settings::Fflt) < fadc && 2 * valueOf(&zv::Settings::Fflt_) < fadc)
        return true;
    zv::Messages::error(QString("Частота среза фильтра должна быть меньше половины частоты "
                                "преобразования: меньше %1 Гц")
                            .arg(fadc / 2.0));
    return false;
}

zv::Settings TSetupW::typedSettings() const {
    zv::Settings s = source_ ? *source_ : zv::Settings{};
    ApplySetupW(s);
    for (std::size_t i = 0; i < kScaleParameterEdits.size(); ++i) {
        const TLIEdit* edit = parameterEdits_[i];
        bool number = false;
        const int value = edit->text().toInt(&number);
        if (number) s.*kScaleParameterEdits[i].key = std::clamp(value, edit->MinVal(), edit->MaxVal());
    }
    return s;
}

void TSetupW::showVerdict() {
    if (verdict_) verdict_->showCheck(zv::checkWeighing(typedSettings()));
}

bool TSetupW::saveDespiteVerdict() {
    showVerdict();
    if (verdict_->passes()) return true;
    return zv::Messages::warningQuestion("Весы с этими параметрами взвешивают не всё:\r\n" +
                                         verdict_->failures().join("\r\n") +
                                         "\r\nСохранить параметры?");
}

void TSetupW::But1Click() {
    if (!host_ || !filterCutoffsAllowed() || !saveDespiteVerdict()) return;
    zv::Settings& s = host_->settings();
    const zv::Settings before = s;
    ApplySetupW(s);
    host_->engine().FiltCoef();
    if (loadsChange(before, s)) host_->engine().calibrationChanged();
    host_->link().decoder().setLayout(s.Nadc, s.Npl);
    host_->applyOptions();
    if (saveSettings(*host_, calibrationKeys())) unsaved_ = false;
    showCalibrationCounter();
}

// Calibration page

void TSetupW::CBox30Change() {
    const zv::CalibrationType type = calibrationType();
    const bool independent = type == zv::CalibrationType::Independent;
    LaStep3->setText(independent ? "3. Установите груз"
                                 : "3. Установите груз вблизи одного края платформы");
    LaStep4->setVisible(!independent);
    But33->setVisible(!independent);
    const bool byInput = independent && CBox22->currentIndex() == 2;
    const int platforms = CBox21->currentIndex() + 1;
    QStringList items;
    for (int n = 1; n <= (byInput ? 4 * platforms : platforms); ++n) items << QString::number(n);
    CBox31->clear();
    CBox31->addItems(items);
    CBox31->setCurrentIndex(0);
    LaStep1->setText(byInput ? "1. Выберите датчик" : "1. Выберите платформу");
    Panel31->setVisible(type != zv::CalibrationType::None);
    if (source_) Updateaka(*source_);
}

zv::CalibrationTarget TSetupW::calibrationTarget() const {
    zv::CalibrationTarget target;
    target.type = calibrationType();
    target.fourInputs = CBox22->currentIndex() == 2;
    const int chosen = std::max(0, CBox31->currentIndex());
    const bool byInput = target.type == zv::CalibrationType::Independent && target.fourInputs;
    target.slot = byInput ? chosen : 4 * chosen;
    return target;
}

zv::SlotReadings TSetupW::staticReadings() const {
    zv::SlotReadings now{};
    if (host_)
        for (int i = 0; i < 8; ++i) now[i] = host_->engine().filter().ChFlt(i, 2, 0);
    return now;
}

zv::CalibrationEdits TSetupW::calibrationEdits() const {
    zv::CalibrationEdits edits;
    for (int i = 0; i < 8; ++i) {
        edits.zero[i] = LIEa[i]->Val();
        edits.coef[i] = LIEk[i]->Val();
    }
    return edits;
}

void TSetupW::showCalibrationEdits(const zv::CalibrationEdits& edits) {
    for (int i = 0; i < 8; ++i) {
        LIEa[i]->setVal(edits.zero[i]);
        LIEk[i]->setVal(edits.coef[i]);
    }
}

void TSetupW::reportStep(const zv::CalibrationStep& step) {
    if (step.ok()) return;
    zv::Messages::error(QString("Деление на ноль: %1 = 0").arg(QString::fromStdString(*step.zeroDivisor)));
}

// A calibration step takes the static readings; while the link is lost they are old.
bool TSetupW::readingsLive() const {
    if (!host_ || !host_->linkLost()) return true;
    zv::Messages::information(QStringLiteral("Нет связи с весами: калибровка невозможна"));
    return false;
}

void TSetupW::But31Click() {
    if (!readingsLive()) return;
    zv::CalibrationEdits edits = calibrationEdits();
    zv::zeroPlatform(calibrationTarget(), staticReadings(), edits);
    showCalibrationEdits(edits);
}

void TSetupW::But32Click() {
    if (!readingsLive()) return;
    zv::CalibrationEdits edits = calibrationEdits();
    const zv::CalibrationStep step =
        zv::calibrateFirst(calibrationTarget(), staticReadings(), LIEw->Val(), edits, CalCodes1_);
    showCalibrationEdits(edits);
    reportStep(step);
}

void TSetupW::But33Click() {
    if (!readingsLive()) return;
    zv::CalibrationEdits edits = calibrationEdits();
    const zv::CalibrationStep step =
        zv::calibrateSecond(calibrationTarget(), staticReadings(), LIEw->Val(), CalCodes1_, edits);
    showCalibrationEdits(edits);
    reportStep(step);
}

void TSetupW::ChBox31Click() {
    const bool shown = ChBox31->isChecked();
    SG1->setVisible(shown);
    Button1->setVisible(shown);
    if (host_) host_->showDebugInformation(shown);
}

void TSetupW::Button1Click() {
    std::array<uint16_t, 8> codes{};
    for (int row = 0; row < 8; ++row) {
        const QTableWidgetItem* cell = SG1->item(row, 0);
        codes[row] = debugCode(cell ? cell->text() : QString());
    }
    if (host_) host_->feedSample(codes);
}

void TSetupW::SetBut1Cli() { Button1Click(); }

// Live readouts

bool TSetupW::readoutsWanted() const { return isVisible(); }

void TSetupW::showCalibrationReadouts(const zv::CalibrationReadouts& r) {
    const std::array<int32_t, 8>* codes = nullptr;
    switch (CBox32->currentIndex()) {
        case 0:
            codes = &r.raw;
            break;
        case 1:
            codes = &r.dynamic;
            break;
        case 2:
            codes = &r.stat;
            break;
        default:
            break;
    }
    if (codes)
        for (int i = 0; i < 8; ++i) La[i]->setText(QString::number((*codes)[i]));
    for (int q = 0; q < 10; ++q) loadLabels_[q]->setText(QString::number(r.loads[q]));
    if (r.hasTotal) Lw->setText(QString::number(r.total));
}

void TSetupW::showConditioning(const zv::ConditioningDisplay& d) {
    Lw_->setText(QString::number(d.LwRaw));
    Lds0->setText(d.Lds0Empty ? "_" : QString::number(d.Lds0));
    Lds1->setText(d.Lds1Empty ? "_" : QString::number(d.Lds1));
}

void TSetupW::showNoLink() {
    const QString none = QStringLiteral("Нет связи");
    for (QLabel* label : La) label->setText(none);
    for (QLabel* label : loadLabels_) label->setText(none);
    for (QLabel* label : {Lw, Lw_, Lds0, Lds1}) label->setText(none);
}

void TSetupW::showLinkCounters(int frameErrors, int marks, const QString& samplesPerMark) {
    Ler->setText(QString::number(frameErrors));
    Lsc->setText(QString::number(marks));
    Ln1->setText(samplesPerMark);
}
