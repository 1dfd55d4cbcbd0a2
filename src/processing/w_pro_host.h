#pragma once

#include <cstdint>

#include "engine/conditioning.h"

namespace zv {
class RecordsDatabase;
struct Settings;
}  // namespace zv

// The static reading of the scale at the moment "Взвесить" is pressed.
struct StaticReading {
    int32_t shownWeight = 0;  // ShownWeight, kg
    int32_t netLoad0 = 0;     // NetLoad of W0 (platform 1), kg
    int32_t netLoad1 = 0;     // NetLoad of W1 (platform 2), kg
    int32_t offTrans = 0;     // OffTrans, mm
    bool live = true;         // false while the converter's link is lost: the values are old
};

// The reading of the conditioning now; W1 is the sixth of the load quantities.
inline StaticReading staticReadingOf(const zv::Conditioning& c) {
    return {c.ShownWeight(), c.NetLoad()[0], c.NetLoad()[5], c.OffTrans()};
}

// What the wagon processing window needs of the main window.
class WProHost {
  public:
    virtual ~WProHost() = default;

    virtual zv::RecordsDatabase& records() = 0;
    virtual const zv::Settings& settings() const = 0;
    virtual int currentOperator() const = 0;
    virtual StaticReading staticReading() const = 0;
    // Around a static mode the window shows every train: the train list is detached while
    // it is open; afterwards it is attached again, or steps to the next train up when the
    // selected train has no rows left.
    virtual void detachTrainList() = 0;
    virtual void restoreTrainList() = 0;
    // The table viewer on one dictionary (3 loads, 4 stations, 5 clients, 6 wagon bases)
    // with its table selector disabled.
    virtual void openDictionary(int viewerItem) = 0;
    // The simulation step of the scale settings window (debugging only).
    virtual void simulationStep() {}
};
