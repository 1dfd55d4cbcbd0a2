#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

#include "admin/calibration.h"
#include "admin/scale_parameter_edits.h"
#include "integrity/access_code.h"
#include "settings/settings_file.h"

class AdminHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QWidget;
class TLIEdit;
class TPassDlg;
class WeighingVerdictView;

namespace zv {
struct CalibrationReadouts;
struct ConditioningDisplay;
}  // namespace zv

// Scale settings: connection, parameters and calibration.
class TSetupW : public QDialog {
    Q_OBJECT
public:
    enum Page { Connection = 0, Parameters = 1, Calibration = 2 };
    // The factory access code, which confirms until an engineer changes it.
    static constexpr const char* AccessCode = zv::AccessCode::kFactoryCode;

    explicit TSetupW(QWidget* parent = nullptr);
    ~TSetupW() override;

    // The main window; without it the window only moves values to and from Settings.
    void setHost(AdminHost* host);
    // The program's access-code prompt; the window makes its own when none is given.
    void setPassDlg(TPassDlg* dialog);

    int currentPage() const;
    void setCurrentPage(int index);

    // Every control from the settings (the edits limit what is out of their range).
    void UpdateSetupW(const zv::Settings& s);
    // The odd coefficient edits and their heading, by the calibration type.
    void Updateaka(const zv::Settings& s);
    // Every value of the window into the settings.
    void ApplySetupW(zv::Settings& s) const;

    bool unsaved() const { return unsaved_; }
    zv::CalibrationType calibrationType() const;
    const zv::SlotValues& CalCodes1() const { return CalCodes1_; }
    // SaveIni rewrites the calibration only from the displayed, unlocked calibration page.
    zv::CalibrationKeys calibrationKeys() const;

    // Live readouts of the calibration page, wanted while the window is shown.
    bool readoutsWanted() const;
    void showCalibrationReadouts(const zv::CalibrationReadouts& readouts);
    void showConditioning(const zv::ConditioningDisplay& display);
    void showLinkCounters(int frameErrors, int marks, const QString& samplesPerMark);
    // The line beside "Подключить" ("нет связи с 15:41:07, повтор через 5 с").
    void showLinkState(const QString& state);
    // While the link is lost the live readouts say so instead of their last numbers.
    void showNoLink();

    // The debug grid's button, also run by the wagon processing window's debug button.
    void SetBut1Cli();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Layout (setup_w_pages.cpp)
    QWidget* buildConnectionPage();
    QWidget* buildParametersPage();
    QWidget* buildCalibrationPage();
    QWidget* buildProcedurePanel(QWidget* page);
    QWidget* buildInputGrid(QWidget* page);
    QWidget* buildReadouts(QWidget* page);
    QWidget* buildDebugAids(QWidget* page);
    TLIEdit* makeParameterEdit(const ScaleParameterEdit& def, QWidget* parent);
    QLabel* makeLabel(const char* name, const QString& text, QWidget* parent);

    // Handlers
    void FormShow();
    bool FormClose();
    void TS3Show();
    void showCalibrationCounter();
    void PCon1Change(int index);
    void CCBox1Exit();
    void CCBox1Change();
    void CCBox2Change();
    void CCBox3Change();
    void ChBox11Click();
    void LIE21Exit();
    void But1Click();
    void CBox21Change();
    void CBox22Change();
    void CBox23Change();
    void CBox30Change();
    void But31Click();
    void But32Click();
    void But33Click();
    void ChBox31Click();
    void Button1Click();

    // Helpers
    void fillConnection(const zv::Settings& s);
    void showInputRows();
    bool filterCutoffsAllowed();
    zv::CalibrationTarget calibrationTarget() const;
    zv::SlotReadings staticReadings() const;
    bool readingsLive() const;
    zv::CalibrationEdits calibrationEdits() const;
    void showCalibrationEdits(const zv::CalibrationEdits& edits);
    void reportStep(const zv::CalibrationStep& step);
    TPassDlg& passDlg();
    // The values of the parameters page as they stand, typed text included.
    zv::Settings typedSettings() const;
    void showVerdict();
    bool saveDespiteVerdict();

    AdminHost* host_ = nullptr;
    const zv::Settings* source_ = nullptr;  // what closing refills the window from
    QPointer<TPassDlg> passDlg_;
    bool unsaved_ = false;
    zv::SlotValues CalCodes1_{};

    QTabWidget* PCon1 = nullptr;
    QWidget* TS1 = nullptr;
    QWidget* TS2 = nullptr;
    QWidget* TS3 = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;

    // Connection
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* CCBox1 = nullptr;
    QComboBox* CCBox2 = nullptr;
    QComboBox* CCBox3 = nullptr;
    QCheckBox* ChBox11 = nullptr;
    QLabel* LaLink = nullptr;

    // Parameters (kScaleParameterEdits order, LIEkd last)
    std::array<TLIEdit*, kScaleParameterEdits.size()> parameterEdits_{};
    QComboBox* CBox21 = nullptr;
    QComboBox* CBox22 = nullptr;
    QComboBox* CBox23 = nullptr;  // weighing method, `WeighMethod`
    WeighingVerdictView* verdict_ = nullptr;

    // Calibration
    QComboBox* CBox30 = nullptr;
    QWidget* Panel31 = nullptr;
    QLabel* LaStep1 = nullptr;
    QLabel* CalibCount = nullptr;  // the calibration counter of the event log
    QComboBox* CBox31 = nullptr;
    TLIEdit* LIEw = nullptr;
    QLabel* LaStep3 = nullptr;
    QLabel* LaStep4 = nullptr;
    QPushButton* But31 = nullptr;
    QPushButton* But32 = nullptr;
    QPushButton* But33 = nullptr;
    QLabel* LaK = nullptr;
    QComboBox* CBox32 = nullptr;
    std::array<QWidget*, 8> rows_{};  // the widgets of one input row each, in a row widget
    std::array<TLIEdit*, 8> LIEa{};
    std::array<TLIEdit*, 8> LIEk{};
    std::array<QLabel*, 8> La{};
    std::array<QLabel*, 10> loadLabels_{};  // Lw0, Lw01, Lw23, Lw02, Lw13, Lw1, Lw45, ...
    QWidget* platform2Loads_ = nullptr;
    QLabel* Lw = nullptr;
    QLabel* Lw_ = nullptr;
    QLabel* Lds0 = nullptr;
    QLabel* Lds1 = nullptr;
    QLabel* Ler = nullptr;
    QLabel* Lsc = nullptr;
    QLabel* Ln1 = nullptr;
    QCheckBox* ChBox31 = nullptr;
    QTableWidget* SG1 = nullptr;
    QPushButton* Button1 = nullptr;
};
