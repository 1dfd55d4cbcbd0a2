#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include "admin/b_copy.h"
#include "admin/db_view.h"
#include "admin/pass_dlg.h"
#include "admin/setup_p.h"
#include "admin/setup_w.h"
#include "admin/shift_s.h"
#include "app/about.h"
#include "app/help_topic.h"
#include "app/help_window.h"
#include "central/password_file.h"
#include "app/train_grids.h"
#include "integrity/calibration_counter.h"
#include "integrity/event_action.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity_ui/access_code_window.h"
#include "integrity_ui/event_log_window.h"
#include "integrity_ui/records_check.h"
#include "processing/w_pro.h"
#include "records/table.h"
#include "records/train_storage.h"
#include "reports/b_prn.h"
#include "reports/report_commands.h"
#include "ui/guarded.h"
#include "ui/message_service.h"
#include "ui/modal.h"
#include "ui/screen_fit.h"
#include "ui/tlie_edit.h"
#include "wagon_search/wagon_search_window.h"

namespace {

constexpr int kTickMs = 25;

}  // namespace

TMain::TMain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent),
      programFolder_(programFolder),
      records_(settings_, programFolder, recordsClock_, *this) {
    setObjectName("Main");
    setWindowTitle("Вагонные весы ZOLVELT");
    const QString settingsFile = QString::fromStdString(zv::settingsFilePath(programFolder.toStdString(), ".ini"));
    integrity_ = std::make_unique<zv::RecordsIntegrity>(records_, static_cast<zv::RecordsNotifier&>(*this), settingsFile);
    // The scale's password for the central database lies with the records, not in the operator's home.
    zv::central::usePasswordFile(zv::central::passwordFileBeside(settingsFile));
    zv::Events::install(integrity_.get());
    identity_ = zv::identifyRunningProgram();
    c_ = buildMainLayout(this);
    SBIdent_ = new QLabel(identity_.text(), c_.StatusLine);
    SBIdent_->setObjectName("SBIdent");
    c_.StatusLine->addPermanentWidget(SBIdent_);

    menu_ = buildMainMenu(this);
    help_ = new HelpWindow(programFolder_ + "help/", this);
    central_ = std::make_unique<CentralLink>(records_, integrity_->log(), statusBar());
    central_->setWitnessHandler([this](const QList<zv::WitnessFinding>& findings) {
        zv::noteWitnessFindings(*integrity_, findings);
        showIntegrity();
    });
    display_ = std::make_unique<MainDisplay>(c_, [this](bool passing) { onTrainPassing(passing); });
    zero_ = std::make_unique<ZeroIndicator>(c_.LZero, c_.StatusLine);
    engine_.setObserver(display_.get());
    link_.setFrameHandler([this](const zv::DecodedFrame& frame) { onFrame(frame); });
    catchUp_ = std::make_unique<CatchUpLink>(engine_, settings_, link_, c_.PCon1,
                                             [this](const zv::StoredTrain& train) { return StoreTrain(train); });
    records_.Trains().setTextHandler("Note1", [this](const zv::Row& row) { return catchUp_->lateTrains().note(row); });
    connect(&link_, &zv::SerialLink::aboutToOpen, this, [this] {
        catchUp_->catchUp().beforePortOpens();
        engine_.resetBeforeOpen();
    });
    watchLink();
    buildTrainList();
    connectMenu();
    FormCreate();
    resize(1016, 765 + menuBar()->sizeHint().height());

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &TMain::Timer1Timer);
    timer_->start();
}

TMain::~TMain() {
    if (zv::Events::installed() == integrity_.get()) zv::Events::install(nullptr);  // not a later window's
    qApp->removeEventFilter(this);
    engine_.setObserver(nullptr);
}

void TMain::FormCreate() {
    records_.setBookOfThisMonth();
    layouts_.setBookDescription(QString());
    qApp->installEventFilter(this);
    // Every window fits the screen; the main window too large for it is maximised.
    new zv::ScreenFit(this);
    zv::maximiseWhenLarger(this);
    // An existing folder, or one that cannot be made, is left for the settings to sort out.
    QDir().mkpath(programFolder_ + "DB");
    QDir().mkpath(programFolder_ + "ZOL_arch");
    engine_.resetBeforeOpen();
    move(0, 0);
}

QString TMain::bookName() {
    return records_.Book().fileName();
}

void TMain::buildTrainList() {
    LIEtr_ = new TLIEdit(c_.LIEtrSlot);
    LIEtr_->setObjectName("LIEtr");
    LIEtr_->setMinVal(1);
    LIEtr_->setMaxVal(65535);
    LIEtr_->setMaxLength(5);
    LIEtr_->setFixedWidth(64);
    LIEtr_->setVal(1);
    c_.LIEtrSlot->layout()->addWidget(LIEtr_);
    trainList_ = std::make_unique<TrainList>(records_, *LIEtr_,
                                             [this] { return engine_.trainInProgress(); });
    trainList_->setPreview([this] { zv::previewTrainsReport(records_.Trains(), layouts_, this); });
    setupTrainGrid(c_.DBG1, records_.DSouT());
    setupWagonGrid(c_.DBG2, records_.DSouW());
    connect(c_.But11, &QPushButton::clicked, this,
            [this] { guarded([this] { trainList_->But11Click(); }); });
    connect(c_.SpinBut1Up, &QToolButton::clicked, this,
            [this] { guarded([this] { trainList_->SpinBut1UpClick(); }); });
    connect(c_.SpinBut1Down, &QToolButton::clicked, this,
            [this] { guarded([this] { trainList_->SpinBut1DownClick(); }); });
    connect(c_.But4, &QPushButton::clicked, this,
            [this] { guarded([this] { trainList_->But4Click(); }); });
    // The operator's name follows the operators' table (a renamed operator shows at once).
    connect(&records_.Names(), &zv::Table::rowsChanged, this, &TMain::showOperatorName);
    connect(&records_.DSouT(), &zv::TableModel::editFailed, this,
            [this](const QString& message) { showError(message); });
}

void TMain::setWindows(const AppWindows& windows) {
    w_ = windows;
    w_.ShiftS->setMessenger([this](const QString& text) { showInformation(text); });
    w_.SetupW->setHost(this);
    w_.SetupW->setPassDlg(w_.PassDlg);
    w_.SetupP->setHost(this);
    w_.SetupP->setBCopy(w_.BCopy);
    w_.DBView->setHost(this);
    w_.WPro->setHost(this);
    display_->setSetupWindow(w_.SetupW);
    display_->setProcessingWindow(w_.WPro);
    catchUp_->notice().setWindows(w_.WPro, {w_.BPrn, w_.DBView, w_.BCopy});
    acceptance_ =
        std::make_unique<zv::WagonAcceptance>(records_, *w_.WPro, [this] { return operator_; });
    const auto staticPage = [this] { return c_.PCon1->currentWidget() == c_.TS2; };
    connect(c_.But1, &QPushButton::clicked, this,
            [this, staticPage] { guarded([&] { acceptance_->But1Click(staticPage()); }); });
    connect(c_.But2, &QPushButton::clicked, this,
            [this, staticPage] { guarded([&] { acceptance_->But2Click(staticPage(), false); }); });
    connect(c_.But3, &QPushButton::clicked, this,
            [this, staticPage] { guarded([&] { acceptance_->But2Click(staticPage(), true); }); });
}

void TMain::connectMenu() {
    connect(menu_.StaticWeighing, &QAction::triggered, this,
            [this] { c_.PCon1->setCurrentWidget(c_.TS2); });
    connect(menu_.Shift, &QAction::triggered, this, [this] { guarded([this] { ShiftSet(); }); });
    connect(menu_.Exit, &QAction::triggered, this, &QWidget::close);
    connect(menu_.Location, &QAction::triggered, this, [this] { openSetupP(TSetupP::Databases); });
    for (std::size_t i = 0; i < menu_.View.size(); ++i)
        connect(menu_.View[i], &QAction::triggered, this,
                [this, i] { openDBView(static_cast<int>(i)); });
    connect(menu_.N23, &QAction::triggered, this,
            [this] { guarded([this] { trainList_->N23Click(); }); });
    connect(menu_.BookReport, &QAction::triggered, this, [this] { execModal(w_.BPrn); });
    connect(menu_.EventLog, &QAction::triggered, this, [this] {
        if (!eventLog_) eventLog_ = new zv::TEventLog(this);  // made when first asked for, after the nine
        eventLog_->setIntegrity(integrity_.get());
        execModal(eventLog_);
    });
    connect(menu_.CheckRecords, &QAction::triggered, this, [this] {
        guarded([this] { zv::checkRecordsOnDemand(*integrity_); });
        showIntegrity();
    });
    connect(menu_.SealRecords, &QAction::triggered, this, [this] {
        guarded([this] { zv::sealRecordsOnDemand(*integrity_); });
        showIntegrity();
    });
    connect(menu_.AccessCode, &QAction::triggered, this,
            [this] { guarded([this] { zv::changeAccessCode(*integrity_, this); }); });
    connect(menu_.WagonSearch, &QAction::triggered, this, &TMain::openWagonSearch);
    for (std::size_t i = 0; i < menu_.Scales.size(); ++i)
        connect(menu_.Scales[i], &QAction::triggered, this,
                [this, i] { openSetupW(static_cast<int>(i)); });
    connect(menu_.Program, &QAction::triggered, this, [this] { openSetupP(TSetupP::Common); });
    connect(menu_.HelpContents, &QAction::triggered, this,
            [this] { showHelpTopic(kDefaultHelpTopic); });
    connect(menu_.RecordsHelp, &QAction::triggered, this, [this] { showHelpTopic(kRecordsHelpTopic); });
    connect(menu_.About, &QAction::triggered, this, [this] {
        guarded([this] {
            w_.About->setRecordsInfo(identity_.text(), integrity_->log().count(),
                                     zv::calibrationCounter(integrity_->log()).caption());
            w_.About->setAccessCodeState(integrity_->accessCode().caption());
        });
        execModal(w_.About);
    });
    connect(c_.PCon1, &QTabWidget::currentChanged, this, &TMain::PCon1Change);
    connect(c_.SBa3, &QToolButton::clicked, this, &TMain::TrainEnd);
    connect(c_.SBa1, &QToolButton::clicked, this, &TMain::SBa1Click);
    connect(c_.SBut12, &QToolButton::clicked, this, &TMain::SBut12Click);
    connect(c_.SBut11, &QToolButton::clicked, this, &TMain::SBut11Click);
}

void TMain::execModal(QDialog* dialog) {
    if (dialog) guarded([dialog] { zv::showModal(*dialog); });
}

void TMain::openSetupW(int page) {
    w_.SetupW->setCurrentPage(page);
    execModal(w_.SetupW);
    showIntegrity();  // a calibration saved there counts on the report pages
}

void TMain::openSetupP(int page) {
    w_.SetupP->setCurrentPage(page);
    execModal(w_.SetupP);
}

void TMain::openDBView(int table) {
    w_.DBView->setTableIndex(table);
    execModal(w_.DBView);
}

// Made when first asked for, after the nine; it reads the folders the settings name now.
void TMain::openWagonSearch() {
    if (!wagonSearch_)
        wagonSearch_ = new TWagonSearch(settings_, layouts_, [this] {
            return zv::WagonSearchFolders{records_.connection().folder(),
                                          QString::fromStdString(settings_.PathA)};
        }, this);
    execModal(wagonSearch_);
}

bool TMain::Prepare() {
    zv::Events::record(zv::event_kind::StartUp, identity_.text());
    zv::readIni(programFolder_.toStdString(), ".ini", settings_, *this);
    engine_.FiltCoef();
    try {
        records_.DBOpen();
        // What an interrupted acceptance or release left behind is no wagon on the territory.
        zv::removePlaceholderRow(records_.Wagons());
    } catch (const std::exception& e) {
        // Without its tables a weighed train could not be stored: the program does not start.
        showError(QString("Не удалось открыть базу данных в папке %1\r\n%2")
                      .arg(QDir::toNativeSeparators(records_.connection().folder()),
                           QString::fromUtf8(e.what())));
        return false;
    }
    integrity_->tablesOpened();
    catchUp_->tablesOpened(integrity_->log(), records_.Trains());
    zv::checkRecordsAtStartUp(*integrity_);
    showIntegrity();
    LIEtr_->setVal(records_.selectedTrain());
    ShiftSet();
    central_->apply(settings_);
    return true;
}

void TMain::Timer1Timer() {
    // A message box raised inside a tick runs its own event loop; the ticks it would dispatch
    // wait until the box is answered, so samples never enter the pipeline half way through
    // another sample and a repeating fault cannot stack boxes.
    if (ticking_) return;
    ticking_ = true;
    try {
        const uint32_t t = now();
        const bool allowed = dynamicWeighingAllowed();
        engine_.setDynamicWeighingAllowed(allowed);
        engine_.setZeroButtonPressed(c_.SBut01->isChecked());
        catchUp_->tick(allowed, t);
        // While held samples wait or are weighed, their own ticks end their train.
        if (catchUp_->catchUp().live()) {
            if (c_.SBut11->isChecked() && !c_.SBa2->isChecked()) engine_.setLastAxleTick(t);
            if (engine_.trainEndDue(t)) TrainEnd();
        }
        if (raw_.Replaying()) {
            replayStep();
            linkWatch_.hold(t);
        } else {
            pollLink(t);
        }
        if (linkWatch_.isLost())
            zero_->showNoLink();
        else
            zero_->show(engine_.conditioning().zeroState(), settings_.Fadc);
        showLinkState(t);
        showLinkCounters();
        lastTickError_.clear();
    } catch (const std::exception& e) {
        // A fault that repeats on every tick is reported once, not forty times a second.
        const QString text = QString::fromLocal8Bit(e.what());
        const bool repeated = text == lastTickError_;
        lastTickError_ = text;
        if (!repeated) showError(text);
    }
    ticking_ = false;
}

void TMain::showLinkCounters() {
    if (!w_.SetupW || !w_.SetupW->isVisible()) return;
    const zv::FrameDecoder& d = link_.decoder();
    w_.SetupW->showLinkCounters(d.FrameErr(), d.MarkCnt(), QString::fromStdString(d.Ln1()));
}

void TMain::onFrame(const zv::DecodedFrame& frame) {
    linkWatch_.frameArrived(now());  // a restored link restarts the filters before this sample
    if (raw_.Recording() && !raw_.record(zv::toRawRecord(frame))) {
        c_.SBut12->setChecked(false);
        showError(QString::fromStdString(raw_.error()));
    }
    // The decoder notes the count; the catch-up restarts it where the sample enters the engine.
    if (frame.calibrationMark) link_.decoder().onCalibrationMark(engine_.SmpCnt());
    feedSample(frame.codes, frame.calibrationMark);
}

void TMain::feedSample(const std::array<uint16_t, 8>& codes) {
    feedSample(codes, false);
}

void TMain::feedSample(const std::array<uint16_t, 8>& codes, bool calibrationMark) {
    catchUp_->catchUp().feed(codes, now(), calibrationMark);
    while (engine_.hasCompletedTrain()) catchUp_->storeFromEngine(engine_.takeCompletedTrain());
}

void TMain::TrainEnd() {
    catchUp_->catchUp().finishNow();  // what was held belongs to this train or to ones before it
    const zv::StoredTrain train = engine_.TrainEnd();
    if (!train.empty()) catchUp_->storeFromEngine(train);
}

// A train that cannot be stored (tables closed while the folder changes, a full disk) is
// reported, never dropped without a word; the engine is idle again either way.
int TMain::StoreTrain(const zv::StoredTrain& train) {
    const zv::EventAction logged = zv::EventAction::trainStored();
    try {
        const int n = zv::StoreTrain(records_, train);
        if (n > 0) LIEtr_->setVal(n);
        return n;
    } catch (const std::exception& e) {
        records_.DSouT().attach();
        showError(QString("Состав не сохранен (вагонов: %1).\r\n%2")
                      .arg(train.rows.size())
                      .arg(QString::fromUtf8(e.what())));
    }
    return 0;
}

void TMain::onTrainPassing(bool passing) {
    if (passing)
        records_.DSouT().detach();
    else
        records_.DSouT().attach();
}

// Recording and replay

void TMain::SBut12Click() {
    if (!c_.SBut12->isChecked()) {
        if (!raw_.stopRecording()) showError(QString::fromStdString(raw_.error()));
        return;
    }
    switch (raw_.startRecording(programFolder_.toStdString(), c_.LE1->text().toStdString())) {
        case RawDataSession::Start::Started:
            return;
        case RawDataSession::Start::NoName:
            c_.SBut12->setChecked(false);
            ShowHint("Введите имя файла");
            return;
        case RawDataSession::Start::Failed:
            c_.SBut12->setChecked(false);
            showError(QString::fromStdString(raw_.error()));
            return;
        case RawDataSession::Start::Busy:
        case RawDataSession::Start::NoFile:
            c_.SBut12->setChecked(false);
            return;
    }
}

void TMain::SBut11Click() {
    if (!c_.SBut11->isChecked()) {
        if (raw_.Replaying()) stopReplay();
        return;
    }
    switch (raw_.startReplay(programFolder_.toStdString(), c_.LE1->text().toStdString())) {
        case RawDataSession::Start::Started:
            catchUp_->catchUp().beforeStreamBreak();
            engine_.beginReplay();
            c_.La5->setText("0");
            return;
        case RawDataSession::Start::Failed:
            c_.SBut11->setChecked(false);
            showError(QString::fromStdString(raw_.error()));
            return;
        case RawDataSession::Start::NoName:
        case RawDataSession::Start::NoFile:
        case RawDataSession::Start::Busy:
            c_.SBut11->setChecked(false);
            return;
    }
}

void TMain::SBa1Click() {
    raw_.StepReq = true;
}

void TMain::replayStep() {
    while (c_.SBa2->isChecked() || raw_.StepReq) {
        raw_.StepReq = false;
        zv::RawRecord record;
        if (!raw_.next(record)) {
            const QString failure = QString::fromStdString(raw_.error());
            c_.SBut11->setChecked(false);
            stopReplay();
            if (!failure.isEmpty()) showError(failure);
            return;
        }
        ++raw_.ReplayCnt;
        feedSample(record.codes);
    }
    c_.La5->setText(QString::number(raw_.ReplayCnt));
}

void TMain::stopReplay() {
    catchUp_->catchUp().beforeStreamBreak();
    engine_.endReplay();
    TrainEnd();
    raw_.stopReplay();
    c_.La5->setText(QString::number(raw_.ReplayCnt));
}

void TMain::ShiftSet() {
    zv::Table& names = records_.Names();
    // Without the operators' table nobody could be chosen and the window would never close.
    if (!names.isOpen()) return;
    w_.ShiftS->setNames(&names);
    w_.ShiftS->setCurrentOperator(operator_);
    if (zv::showModal(*w_.ShiftS) == QDialog::Accepted) {
        operator_ = names.toInt("N");
    } else if (!names.findKey(operator_)) {
        operator_ = 0;
        names.findKey(0);
    }
    showOperatorName();
    noteOperator();
}

void TMain::noteOperator() {
    integrity_->log().setOperator(c_.DBT1->text());
    zv::Events::record(zv::event_kind::ShiftChange, c_.DBT1->text());
}

void TMain::showIntegrity() {
    guarded([this] {
        const QString line = identity_.text() + QStringLiteral(" · ") + zv::calibrationCounter(integrity_->log()).text();
        SBIdent_->setText(line);
        layouts_.setIdentification(line);
        const QStringList book = integrity_->outstandingFor(records_.Book().fileName());
        QStringList waybill = integrity_->outstandingFor(records_.Wagons().fileName()) + book;
        waybill.removeDuplicates();  // a finding about every table, the calibration's, stands once
        layouts_.setWarnings(book, integrity_->outstandingFor(records_.Trains().fileName()), waybill);
    });
}

// The label names the operator of the shift, wherever the operators' table stands: a row
// highlighted in the shift window or added in the table viewer is nobody's shift yet.
void TMain::showOperatorName() {
    const zv::Table& names = records_.Names();
    c_.DBT1->setProperty("tag", operator_);
    c_.DBT1->setText(operator_ >= 0 ? names.lookup("N", operator_, "Name").toString() : QString());
}

bool TMain::dynamicWeighingAllowed() const {
    if (c_.PCon1->currentWidget() != c_.TS1 || trainList_->deleting()) return false;
    const QWidget* blocking[] = {w_.WPro, w_.BPrn, w_.DBView, w_.BCopy};
    for (const QWidget* window : blocking)
        if (window && window->isVisible()) return false;
    return true;
}

void TMain::PCon1Change() {
    guarded([this] { trainList_->DelWN(); });
    showRawDataPanel();
}

// An error of the tables or a file met by a command is shown, and the program goes on.
void TMain::guarded(const std::function<void()>& command) {
    zv::guarded(command);
}

void TMain::applyOptions() {
    const bool twoPlatforms = settings_.Npl == 1;
    c_.Lw0->setVisible(twoPlatforms);
    c_.Lw1->setVisible(twoPlatforms);
    c_.P6->setVisible(twoPlatforms && settings_.has(zv::params::ShowGravityOffsets));
    showRawDataPanel();
    c_.SBut12->setEnabled(settings_.has(zv::params::ShowDebugColumns));
    showDebugColumns(records_.DSouT(), settings_.has(zv::params::ShowDebugColumns));
    if (w_.WPro) w_.WPro->applyOptions();
    layouts_.applySettings(settings_);
}

// The record and replay panel belongs to the dynamic page, and only with its option.
void TMain::showRawDataPanel() {
    c_.P12->setVisible(c_.PCon1->currentWidget() == c_.TS1 &&
                       settings_.has(zv::params::ShowRawDataPanel));
}

void TMain::ShowHint(const QString& hint) {
    c_.StatusLine->showMessage(hint);
}

void TMain::wmhelp(QWidget* window) {
    if (w_.PassDlg && window == w_.PassDlg) return;
    showHelpTopic(helpTopicFor(window, w_));
}

void TMain::showHelpTopic(const QString& topic) {
    // A modal window blocks every window that is not its own, so the help joins it.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = this;
    if (help_->parentWidget() != owner) help_->setParent(owner, help_->windowFlags());
    if (!help_->showTopic(topic))
        showInformation("Не найдена страница справки " + help_->pagePath(topic));
}

void TMain::showInformation(const QString& text) {
    zv::Messages::information(text);
}

void TMain::showError(const QString& text) {
    zv::Events::recordTableError(text);
    zv::Messages::error(text);
}

void TMain::information(const QString& text) {
    zv::Events::recordRecordsMessage(text);
    showInformation(text);
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
    } else if (event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && watched->isWidgetType()) {
        wmhelp(static_cast<QWidget*>(watched)->window());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMain::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TMain::FormClose() {
    TrainEnd();
    // The last samples of a recording must reach the disk before the program ends.
    if (raw_.Recording() && !raw_.stopRecording()) showError(QString::fromStdString(raw_.error()));
    try {
        finishCellEdit(c_.DBG1);
        zv::Table& trains = records_.Trains();
        if (trains.isOpen() && trains.state() != zv::Table::State::Browse) trains.post();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    integrity_->collect();
    zv::Events::record(zv::event_kind::Shutdown, identity_.text());
    records_.connection().closeAll();
    central_->stop();
}

// zv::SettingsEffects

void TMain::applyPort(const std::string& name) {
    link_.setPortName(QString::fromStdString(name));
}

void TMain::applyBaudRate(const std::string& name) {
    link_.setBaudRate(QString::fromStdString(name));
}

void TMain::applyParity(const std::string& name) {
    link_.setParity(QString::fromStdString(name));
}

void TMain::applyLinkLayout() {
    link_.decoder().setLayout(settings_.Nadc, settings_.Npl);
}

void TMain::closeDatabase() {
    integrity_->collect();  // the events kept in these tables' files go into their log first
    records_.connection().closeAll();
}

void TMain::showSaveError(const std::string& text) {
    showError(QString::fromStdString(text));
}

void TMain::reportDamagedCalibration() {
    zv::Events::record(zv::event_kind::SettingsDamaged, QString::fromStdString(zv::settingsFilePath(programFolder_.toStdString(), ".ini")));
    showInformation(
        QString::fromUtf8(zv::DamagedCalibrationMessage.data(),
                          static_cast<qsizetype>(zv::DamagedCalibrationMessage.size())));
    setWindowTitle(windowTitle() +
                   QString::fromUtf8(zv::DamagedCaptionSuffix.data(),
                                     static_cast<qsizetype>(zv::DamagedCaptionSuffix.size())));
}

void TMain::fillSettingsWindows() {
    applyLinkLayout();
    if (w_.SetupP) w_.SetupP->UpdateSetupP(settings_);
    if (w_.SetupW) {
        w_.SetupW->UpdateSetupW(settings_);
        w_.SetupW->Updateaka(settings_);
    }
    applyOptions();
}

void TMain::tablesReopened() {
    integrity_->tablesOpened();
    catchUp_->tablesOpened(integrity_->log(), records_.Trains());
    showIntegrity();
    LIEtr_->setVal(records_.selectedTrain());
    // Tables that could not be opened were reported by DBOpen already.
    if (records_.Trains().isOpen()) guarded([this] { trainList_->showSelected(); });
    central_->apply(settings_);
}

void TMain::centralSettingsChanged() { central_->apply(settings_); }

void TMain::showDebugInformation(bool shown) {
    c_.Panel5->setVisible(shown);
    if (shown) c_.Panel5->raise();
    if (w_.WPro) w_.WPro->showDebugButton(shown);
}

// WProHost

StaticReading TMain::staticReading() const {
    const zv::Conditioning& conditioning = engine_.conditioning();
    StaticReading reading;
    reading.shownWeight = conditioning.ShownWeight();
    reading.netLoad0 = conditioning.NetLoad()[0];
    reading.netLoad1 = conditioning.NetLoad()[5];
    reading.offTrans = conditioning.OffTrans();
    reading.live = !linkWatch_.isLost();
    return reading;
}

void TMain::detachTrainList() {
    records_.DSouT().detach();
}

void TMain::restoreTrainList() {
    trainList_->showSelected();
    records_.DSouT().attach();
    if (records_.Trains().isEmpty()) trainList_->SpinBut1UpClick();
}

void TMain::openDictionary(int viewerItem) {
    w_.DBView->openDictionary(viewerItem);
}

void TMain::simulationStep() {
    w_.SetupW->SetBut1Cli();
}
