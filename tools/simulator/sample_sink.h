#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zv {

// Receives the converter samples of a simulation, one call per conversion, with the codes
// already placed in the slots the frame decoder would fill.
class SampleSink {
  public:
    virtual ~SampleSink() = default;
    virtual void put(const std::array<uint16_t, 8>& codes) = 0;
};

// Keeps every sample in memory.
class SampleList : public SampleSink {
  public:
    void put(const std::array<uint16_t, 8>& codes) override { samples.push_back(codes); }
    std::vector<std::array<uint16_t, 8>> samples;
};

// Hands every sample on to several sinks, in the order they were added.
class SampleFanOut : public SampleSink {
  public:
    void add(SampleSink& sink) { sinks_.push_back(&sink); }
    void put(const std::array<uint16_t, 8>& codes) override {
        for (SampleSink* sink : sinks_) sink->put(codes);
    }

  private:
    std::vector<SampleSink*> sinks_;
};

}  // namespace zv
