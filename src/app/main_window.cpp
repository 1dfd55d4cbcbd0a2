#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "admin/b_copy.h"
#include "admin/db_view.h"
#include "admin/pass_dlg.h"
#include "admin/setup_p.h"
#include "admin/setup_w.h"
#include "admin/shift_s.h"
#include "app/about.h"
#include "app/b_prn.h"
#include "app/help_topic.h"
#include "app/help_window.h"
#include "processing/w_pro.h"

namespace {

constexpr int kTickMs = 25;

}  // namespace

TMain::TMain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder) {
    setObjectName("Main");
    setWindowTitle("Вагонные весы ZOLVELT");
    c_ = buildMainLayout(this);
    menu_ = buildMainMenu(this);
    help_ = new HelpWindow(programFolder_ + "help/", this);
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

TMain::~TMain() { qApp->removeEventFilter(this); }

void TMain::FormCreate() {
    bookName_ = "Book" + QDate::currentDate().toString("[MM.yyyy]") + ".db";
    qApp->installEventFilter(this);
    // An existing folder, or one that cannot be made, is left for the settings to sort out.
    QDir().mkpath(programFolder_ + "DB");
    QDir().mkpath(programFolder_ + "ZOL_arch");
    replaying_ = false;
    move(0, 0);
}

void TMain::setWindows(const AppWindows& windows) { w_ = windows; }

void TMain::connectMenu() {
    connect(menu_.StaticWeighing, &QAction::triggered, this,
            [this] { c_.PCon1->setCurrentWidget(c_.TS2); });
    connect(menu_.Shift, &QAction::triggered, this, &TMain::ShiftSet);
    connect(menu_.Exit, &QAction::triggered, this, &QWidget::close);
    connect(menu_.Location, &QAction::triggered, this,
            [this] { openSetupP(TSetupP::Databases); });
    for (std::size_t i = 0; i < menu_.View.size(); ++i)
        connect(menu_.View[i], &QAction::triggered, this,
                [this, i] { openDBView(static_cast<int>(i)); });
    connect(menu_.BookReport, &QAction::triggered, this, [this] { execModal(w_.BPrn); });
    for (std::size_t i = 0; i < menu_.Scales.size(); ++i)
        connect(menu_.Scales[i], &QAction::triggered, this,
                [this, i] { openSetupW(static_cast<int>(i)); });
    connect(menu_.Program, &QAction::triggered, this, [this] { openSetupP(TSetupP::Common); });
    connect(menu_.HelpContents, &QAction::triggered, this,
            [this] { showHelpTopic(kDefaultHelpTopic); });
    connect(menu_.About, &QAction::triggered, this, [this] { execModal(w_.About); });
    connect(c_.PCon1, &QTabWidget::currentChanged, this, &TMain::PCon1Change);
    connect(c_.SBa3, &QToolButton::clicked, this, &TMain::TrainEnd);
}

void TMain::execModal(QDialog* dialog) {
    if (dialog) dialog->exec();
}

void TMain::openSetupW(int page) {
    w_.SetupW->setCurrentPage(page);
    execModal(w_.SetupW);
}

void TMain::openSetupP(int page) {
    w_.SetupP->setCurrentPage(page);
    execModal(w_.SetupP);
}

void TMain::openDBView(int table) {
    w_.DBView->setTableIndex(table);
    execModal(w_.DBView);
}

void TMain::Prepare() {
    zv::readIni(programFolder_.toStdString(), ".ini", settings_, *this);
}

void TMain::Timer1Timer() {}

void TMain::TrainEnd() {}

void TMain::ShiftSet() { execModal(w_.ShiftS); }

bool TMain::dynamicWeighingAllowed() const {
    if (c_.PCon1->currentWidget() != c_.TS1 || trainDeleting_) return false;
    const QWidget* blocking[] = {w_.WPro, w_.BPrn, w_.DBView, w_.BCopy};
    for (const QWidget* window : blocking)
        if (window && window->isVisible()) return false;
    return true;
}

void TMain::PCon1Change() { applyOptions(); }

void TMain::applyOptions() {
    const bool twoPlatforms = settings_.Npl == 1;
    c_.Lw0->setVisible(twoPlatforms);
    c_.Lw1->setVisible(twoPlatforms);
    c_.P6->setVisible(twoPlatforms && settings_.has(zv::params::ShowGravityOffsets));
    c_.P12->setVisible(c_.PCon1->currentWidget() == c_.TS1 &&
                       settings_.has(zv::params::ShowRawDataPanel));
    c_.SBut12->setEnabled(settings_.has(zv::params::ShowDebugColumns));
}

void TMain::ShowHint(const QString& hint) { c_.StatusLine->showMessage(hint); }

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

void TMain::showInformation(const QString& text) { ShowHint(text); }

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

void TMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeOverlays(c_);
}

void TMain::closeEvent(QCloseEvent* event) {
    TrainEnd();
    QMainWindow::closeEvent(event);
}

// zv::SettingsEffects

void TMain::applyPort(const std::string& name) { link_.setPortName(QString::fromStdString(name)); }

void TMain::applyBaudRate(const std::string& name) {
    link_.setBaudRate(QString::fromStdString(name));
}

void TMain::applyParity(const std::string& name) { link_.setParity(QString::fromStdString(name)); }

void TMain::setConnect(bool checked) {
    settings_.Connect = checked;
    if (!checked) {
        link_.close();
        return;
    }
    if (!link_.open()) {
        settings_.Connect = false;
        showInformation(zv::SerialLink::portUnavailableText(link_.portName()));
    }
}

void TMain::closeDatabase() {}

void TMain::reportDamagedCalibration() {
    showInformation(QString::fromUtf8(zv::DamagedCalibrationMessage.data(),
                                      static_cast<qsizetype>(zv::DamagedCalibrationMessage.size())));
    setWindowTitle(windowTitle() + QString::fromUtf8(zv::DamagedCaptionSuffix.data(),
                                                     static_cast<qsizetype>(zv::DamagedCaptionSuffix.size())));
}

void TMain::fillSettingsWindows() { applyOptions(); }
