#pragma once

#include <QString>
#include <cstdint>

class QLabel;
class QStatusBar;
class QWidget;

namespace zv {
struct ZeroState;
}

// The label beside the live weight (`LZero`) that says whether the zero asked for at
// start-up, when the port opened or after a new calibration has been set.
QLabel* buildZeroIndicator(QWidget* parent);

// Writes the zero's state into that label; a minute after the zero was asked for and not set,
// the status bar (`SBZero`) says why and the event log gets it once, until a zero is set.
class ZeroIndicator {
  public:
    ZeroIndicator(QLabel* indicator, QStatusBar* statusBar);

    void show(const zv::ZeroState& zero, int32_t Fadc);
    // Without a link nothing is known of the zero: the label says nothing until frames return.
    void showNoLink();

  private:
    void showTaken(bool taken);
    void showReason(const zv::ZeroState& zero, int32_t Fadc);

    QLabel* indicator_;
    QLabel* status_;
    int shownTaken_ = -1;  // nothing shown yet
    bool logged_ = false;  // the event of this wait was written
};
