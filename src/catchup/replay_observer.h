#pragma once

#include "engine/engine_observer.h"

namespace zv {

// What the windows see of samples weighed after the fact: a train passing and the gate, as
// for live samples, but none of the past readings of the weight, the zero button or the
// debug panel, which the live samples have shown already or will show.
class ReplayObserver : public EngineObserver {
  public:
    void forwardTo(EngineObserver& shown) { shown_ = &shown; }

    void dynamicWeighingChanged(bool enabled) override { shown_->dynamicWeighingChanged(enabled); }
    void trainPassingChanged(bool passing) override { shown_->trainPassingChanged(passing); }

  private:
    EngineObserver silent_;
    EngineObserver* shown_ = &silent_;
};

}  // namespace zv
