#pragma once

#include "processing/processing_mode.h"

namespace zv {

// The processing window as acceptance and release see it: it completes the current row of
// Wagons (left in edit state) and is then read for what it does not store in that row.
class WagonWindow {
  public:
    virtual ~WagonWindow() = default;
    // Shows the window modally in `mode`; true when the operator confirmed it.
    virtual bool process(ProcessingMode mode) = 0;
    // Load code chosen for the wagon's exit, kNothingChosen when none.
    virtual int exitLoad() const = 0;
    // Train number of a second weighing at rest.
    virtual int secondTrain() const = 0;
};

}  // namespace zv
