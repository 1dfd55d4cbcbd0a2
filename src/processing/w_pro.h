#pragma once

#include <QDialog>
#include <QList>
#include <optional>

#include "processing/load_gravity.h"
#include "processing/w_pro_host.h"
#include "processing/wagon_window.h"

class FieldEdit;
class LookupBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QWidget;
class TLIEdit;

namespace zv {
struct ConditioningDisplay;
class Table;
}  // namespace zv

// Wagon processing: the modal window in which the operator completes the acceptance or the
// release of one wagon on the current row of Wagons, and weighs it at rest in static mode.
class TWPro : public QDialog, public zv::WagonWindow {
    Q_OBJECT
  public:
    explicit TWPro(QWidget* parent = nullptr);

    // Must be set before the window is first shown.
    void setHost(WProHost* host);

    // zv::WagonWindow: sets CBox1 and shows the window modally.
    bool process(zv::ProcessingMode mode) override;
    int exitLoad() const override;
    int secondTrain() const override;

    zv::ProcessingMode mode() const;
    // The live weight and, for the measured base source, the base value follow the main display.
    void conditioningReading(const zv::ConditioningDisplay& display);
    // While the converter's link is lost the weight says so instead of its last number.
    void showNoLink();
    // "Отладочная информация" of the scale settings window.
    void showDebugButton(bool shown);
    // A red line of the main window's over this window (`LaPass`); an empty text hides it.
    void showNotice(const QString& text);
    // The base controls and both centre-of-gravity panels follow the option of the offsets,
    // the bogie prompt the number of platforms. Applied at every opening and whenever the
    // settings windows apply their values.
    void applyOptions();

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Building (w_pro_controls.cpp)
    void buildControls();
    QWidget* buildWagonGroup();
    QWidget* buildWeighingGroup();
    QWidget* buildLoadGroup();
    QWidget* buildStationGroup();
    FieldEdit* fieldEdit(const QString& field, bool readOnly = false);
    void connectControls();

    // Opening and closing
    void FormShow();
    void fillLookups();
    void resetBogie();
    int openingTrainNumber();
    void openRelease(int train);
    void openAcceptance(int train);
    void showReleaseControls(bool shown);
    void FormClose(int result);

    // Rules
    void entryLoadRule();
    void exitLoadRule();
    void CBox2Change();
    void LCBoxBClick();
    void DBE1Exit();
    void But6Click();
    void But7Click();
    void But8Click();
    void secondWeighing(int weight);
    void showLoadGravity(const std::optional<zv::LoadGravity>& gravity);
    void But1Click();
    bool readyToConfirm();
    bool numberIsFree();
    bool documentsGiven();
    void writeReleaseResults();
    void storeTrainMarker();
    void openDictionary(int item);

    void setGroupsEnabled(bool stations, bool weighing);
    void clearDocuments();
    void refreshFields();
    void setWagonValue(const QString& field, const QVariant& value);
    int entryLoad();
    int baseSource() const;
    bool bogieMode() const;
    zv::Table& wagons();
    zv::Table& trains();
    void guarded(const std::function<void()>& action);

    WProHost* host_ = nullptr;
    std::optional<int> rememberedLoad_;
    std::optional<zv::LoadGravity> gravity_;
    bool frozen_ = false;
    bool newMarker_ = false;
    bool newTrainOffered_ = false;
    qint64 lastTrainRow_ = 0;
    int firstBogie_ = 0;

    QComboBox* CBox1 = nullptr;
    QComboBox* CBox2 = nullptr;
    FieldEdit* DBE1 = nullptr;
    FieldEdit* DBE2 = nullptr;
    FieldEdit* DBE3 = nullptr;
    FieldEdit* DBE4 = nullptr;
    FieldEdit* DBE8 = nullptr;
    FieldEdit* DBE10 = nullptr;
    FieldEdit* DBE11 = nullptr;
    FieldEdit* DBE12 = nullptr;
    QList<FieldEdit*> fields_;
    TLIEdit* LIEb = nullptr;
    TLIEdit* LIEt = nullptr;
    TLIEdit* LIEwl = nullptr;
    TLIEdit* LIEdl = nullptr;
    TLIEdit* LIEds = nullptr;
    TLIEdit* LIEtr2 = nullptr;
    LookupBox* LCBoxB = nullptr;
    LookupBox* LCBoxL = nullptr;
    LookupBox* LCBoxL1 = nullptr;
    LookupBox* LCBoxS = nullptr;
    LookupBox* LCBoxC = nullptr;
    QLineEdit* E3 = nullptr;
    QLabel* La1 = nullptr;
    QLabel* La2 = nullptr;
    QLabel* LaB = nullptr;
    QLabel* LaT = nullptr;
    QLabel* Lw = nullptr;
    QLabel* LaNett = nullptr;
    QLabel* LaL1 = nullptr;
    QLabel* LaTr2 = nullptr;
    QLabel* LaPass = nullptr;
    QWidget* baseControls_ = nullptr;
    QWidget* typeControls_ = nullptr;
    QWidget* staticControls_ = nullptr;
    QStackedWidget* gravityPanels_ = nullptr;
    QWidget* P4a = nullptr;
    QWidget* P4 = nullptr;
    QGroupBox* weighingGroup_ = nullptr;
    QWidget* stationGroup_ = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;
    QPushButton* But3 = nullptr;
    QPushButton* But4 = nullptr;
    QPushButton* But5 = nullptr;
    QPushButton* But6 = nullptr;
    QPushButton* But7 = nullptr;
    QPushButton* But8 = nullptr;
    QPushButton* But9 = nullptr;
    QPushButton* ButSim = nullptr;
};
