#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "admin/admin_host.h"
#include "admin/db_view.h"
#include "app/app_windows.h"
#include "app/catch_up_link.h"
#include "app/central_link.h"
#include "app/main_display.h"
#include "app/main_layout.h"
#include "app/main_menu.h"
#include "app/raw_data_session.h"
#include "app/tick_clock.h"
#include "app/train_list.h"
#include "app/zero_indicator.h"
#include "engine/weighing_engine.h"
#include "integrity/records_integrity.h"
#include "integrity/software_identity.h"
#include "link/link_watch.h"
#include "link/serial_link.h"
#include "processing/w_pro_host.h"
#include "processing/wagon_acceptance.h"
#include "records/clock.h"
#include "records/records_database.h"
#include "records/records_notifier.h"
#include "reports/report_layouts.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

class HelpWindow;
class QLabel;
namespace zv {
class TEventLog;
}
class TWagonSearch;
class QTimer;
class TLIEdit;

// The operator's main window. It owns the application state, the settings, the serial link
// and the weighing pipeline for the whole run, and drives them from the 25 ms tick.
class TMain : public QMainWindow,
              public AdminHost,
              public DBViewHost,
              public WProHost,
              private zv::SettingsEffects,
              private zv::RecordsNotifier {
    Q_OBJECT
  public:
    // FormCreate. programFolder ends with a separator; the program passes its own folder.
    explicit TMain(const QString& programFolder, QWidget* parent = nullptr);
    ~TMain() override;

    // The other windows, created after this one (see createAppWindows).
    void setWindows(const AppWindows& windows);
    const AppWindows& windows() const { return w_; }

    // Start-up: settings, filter coefficients, tables, operator shift. False when the tables
    // could not be opened (the error was shown): the program then ends.
    bool Prepare();

    void Timer1Timer();
    void TrainEnd();
    // "Запись", "Чтение", "Continue" changed state or were pressed.
    void SBut12Click();
    void SBut11Click();
    void SBa1Click();
    void ShiftSet() override;
    void ShowHint(const QString& hint);
    // F1 pressed in `window`.
    void wmhelp(QWidget* window);
    void showHelpTopic(const QString& topic);

    // The operator of the shift: -1 before the first shift, then an existing `Names.N` or 0.
    int currentOperator() const override { return operator_; }
    const zv::ReportLayouts& layouts() override { return layouts_; }
    zv::ReportLayouts& reportLayouts() { return layouts_; }

    QString bookName();

    // AdminHost
    const QString& programFolder() const override { return programFolder_; }
    zv::Settings& settings() override { return settings_; }
    const zv::Settings& settings() const override { return settings_; }
    zv::SerialLink& link() override { return link_; }
    zv::WeighingEngine& engine() override { return engine_; }
    zv::RecordsDatabase& records() override { return records_; }
    // One sample through the pipeline, as every received or replayed sample goes.
    void feedSample(const std::array<uint16_t, 8>& codes) override;
    // Applies the program options and the number of platforms to the main window and the
    // processing window, and the enterprise and scale names to the report headings.
    void applyOptions() override;
    // The debug panel (and the debug button of the processing window).
    void showDebugInformation(bool shown) override;
    // LIEtr and the train list follow the train DBOpen selected in the new folder.
    void tablesReopened() override;
    void centralSettingsChanged() override;
    bool connectLink(bool on) override;
    QString linkState() const override;
    bool linkLost() const override { return linkWatch_.isLost(); }

    // WProHost
    StaticReading staticReading() const override;
    void detachTrainList() override;
    void restoreTrainList() override;
    void openDictionary(int viewerItem) override;
    void simulationStep() override;

    TrainList& trainList() { return *trainList_; }
    TLIEdit* LIEtr() const { return LIEtr_; }
    RawDataSession& rawData() { return raw_; }
    const MainControls& controls() const { return c_; }
    const MainMenu& menu() const { return menu_; }
    HelpWindow* helpWindow() const { return help_; }
    QTimer* timer() const { return timer_; }

    // The millisecond tick the end-of-train wait is measured with; tests set their own.
    void setClock(TickClock clock) { clock_ = std::move(clock); }
    uint32_t now() const { return clock_(); }

    // Whether the axle detector may run now: dynamic page shown, no processing, report,
    // viewer or archiving window visible, no train being deleted.
    bool dynamicWeighingAllowed() const;
    // Samples held while dynamic weighing is off and weighed when it is on again.
    CatchUpLink& catchUp() { return *catchUp_; }

    // The health of the converter's link: isLost() and lostSinceTick() (the program's tick
    // of the first moment without it), and the signals linkLost / linkRestored.
    const zv::LinkWatch& linkWatch() const { return linkWatch_; }
    zv::LinkWatch& linkWatch() { return linkWatch_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void connectMenu();
    void PCon1Change();
    void showRawDataPanel();
    void execModal(QDialog* dialog);
    void openSetupW(int page);
    void openSetupP(int page);
    void openDBView(int table);
    void openWagonSearch();

    // zv::SettingsEffects
    void applyPort(const std::string& name) override;
    void applyBaudRate(const std::string& name) override;
    void applyParity(const std::string& name) override;
    void setConnect(bool checked) override;
    void closeDatabase() override;
    void showSaveError(const std::string& text) override;
    // zv::RecordsNotifier
    void information(const QString& text) override;
    void reportDamagedCalibration() override;
    void fillSettingsWindows() override;

    void guarded(const std::function<void()>& command);
    void showOperatorName();
    void showInformation(const QString& text);
    void showError(const QString& text);

    // The converter's link (main_window_link.cpp)
    void watchLink();
    void pollLink(uint32_t t);
    void onLinkLost();
    void onLinkRestored(uint32_t outageMs);
    void cutTrainByLostLink();
    void tellLinkLost(const QString& message);
    void showLinkState(uint32_t t);

    void onFrame(const zv::DecodedFrame& frame);
    void feedSample(const std::array<uint16_t, 8>& codes, bool calibrationMark);
    void replayStep();
    void stopReplay();
    // The train's number, 0 when none was stored.
    int StoreTrain(const zv::StoredTrain& train);
    void onTrainPassing(bool passing);
    void applyLinkLayout();
    void showLinkCounters();
    void buildTrainList();
    void FormClose();
    // The identification line (status bar, report pages) and the findings on the reports.
    void showIntegrity();
    void noteOperator();

    QString programFolder_;
    zv::Settings settings_;
    zv::SystemClock recordsClock_;
    zv::RecordsDatabase records_;
    zv::ReportLayouts layouts_;
    zv::SerialLink link_;
    zv::WeighingEngine engine_{settings_};
    RawDataSession raw_;
    MainControls c_;
    TLIEdit* LIEtr_ = nullptr;
    std::unique_ptr<TrainList> trainList_;
    std::unique_ptr<zv::WagonAcceptance> acceptance_;
    MainMenu menu_;
    AppWindows w_;
    HelpWindow* help_ = nullptr;
    QTimer* timer_ = nullptr;
    TickClock clock_ = systemTickMs;
    std::unique_ptr<MainDisplay> display_;
    std::unique_ptr<ZeroIndicator> zero_;
    QString lastTickError_;
    bool ticking_ = false;
    int operator_ = -1;
    std::unique_ptr<CentralLink> central_;  // before records_ goes: it leaves the tables' listeners
    std::unique_ptr<zv::RecordsIntegrity> integrity_;
    zv::SoftwareIdentity identity_;
    QLabel* SBIdent_ = nullptr;
    zv::TEventLog* eventLog_ = nullptr;
    zv::LinkWatch linkWatch_;
    QLabel* SBLink_ = nullptr;
    bool linkBoxOpen_ = false;
    TWagonSearch* wagonSearch_ = nullptr;
    std::unique_ptr<CatchUpLink> catchUp_;
};
