#pragma once

#include <functional>

#include "app/main_layout.h"
#include "engine/engine_observer.h"

// Writes what the weighing engine shows into the controls of the main window.
class TSetupW;
class TWPro;

class MainDisplay : public zv::EngineObserver {
  public:
    // trainPassing runs whenever a train starts or stops passing (the window then detaches
    // or re-attaches its train list).
    MainDisplay(const MainControls& controls, std::function<void(bool)> trainPassing);
    // The scale settings window mirrors the weight and shows the calibration readouts.
    void setSetupWindow(TSetupW* setupW) { setupW_ = setupW; }
    // So does the wagon processing window, which also takes the measured wagon base.
    void setProcessingWindow(TWPro* wPro) { wPro_ = wPro; }

    void dynamicWeighingChanged(bool enabled) override;
    void trainPassingChanged(bool passing) override;
    void zeroButtonReleased() override;
    void conditioningReading(const zv::ConditioningDisplay& display) override;
    bool calibrationReadoutsWanted() const override;
    void calibrationReadouts(const zv::CalibrationReadouts& readouts) override;
    bool diagnosticsWanted() const override;
    void diagnosticText(zv::DiagLabel label, std::string_view text) override;
    void diagnosticAppend(zv::DiagLabel label, std::string_view text) override;
    void diagnosticCell(int col, int row, std::string_view text) override;

    // The converter's link is lost: every live weight says so instead of its last number.
    void showNoLink();

  private:
    QLabel* diagnosticLabel(zv::DiagLabel label) const;

    const MainControls& c_;
    std::function<void(bool)> trainPassing_;
    TSetupW* setupW_ = nullptr;
    TWPro* wPro_ = nullptr;
};
