#pragma once

#include <cstdint>

#include "engine/stored_train.h"

namespace zv {

// Why a passage seen while dynamic weighing was switched off could not be weighed after all.
enum class NotWeighedReason {
    Overflow,  // it lasted longer than the held samples have room for
    LinkLost,  // the samples stopped or the stream restarted before the gate opened
};

// What the catch-up needs of the program around it.
class CatchUpHost {
  public:
    virtual ~CatchUpHost() = default;

    // A train weighed from held samples: store it as any other, marked as weighed late.
    virtual void storeLateTrain(const StoredTrain& train) = 0;
    // A vehicle rolls over the scale while the gate is closed.
    virtual void passageStarted() = 0;
    // It has gone (no axle edge for tTrEnd) or the gate opened; maxLoadKg is the largest
    // load of both platforms seen.
    virtual void passageEnded(int32_t maxLoadKg) = 0;
    // Told once per passage that is lost.
    virtual void passageNotWeighed(NotWeighedReason reason) = 0;
};

// The state of the converter's link as the catch-up sees it: the number of times it broke
// since the program started. Whoever watches the link (the port's errors and closing today)
// counts; a change while samples are held means their passage cannot be trusted.
class LinkContinuity {
  public:
    virtual ~LinkContinuity() = default;
    virtual uint64_t interruptions() const = 0;
};

}  // namespace zv
