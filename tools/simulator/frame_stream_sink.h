#pragma once

#include <cstdint>
#include <ostream>
#include <random>

#include "settings/settings.h"
#include "simulator/sample_sink.h"

namespace zv {

// Writes the samples as the converter sends them on the serial line: one 23-byte frame per
// sample in the layout of Nadc/Npl, the calibration mark on every Fadc-th frame (the first
// one included), and, if asked, a share of frames spoiled by one flipped data bit so that
// their check fails.
class FrameStreamSink : public SampleSink {
  public:
    FrameStreamSink(std::ostream& out, const Settings& settings, double corruptShare = 0,
                    uint64_t seed = 1);
    void put(const std::array<uint16_t, 8>& codes) override;

    long frames() const { return frames_; }
    long corrupted() const { return corrupted_; }
    long marks() const { return marks_; }

  private:
    std::ostream& out_;
    int nadc_, npl_, fadc_;
    double corruptShare_;
    std::mt19937_64 random_;
    long frames_ = 0, corrupted_ = 0, marks_ = 0;
};

}  // namespace zv
