#pragma once

#include <string>

#include "link/raw_data_file.h"
#include "simulator/sample_sink.h"

namespace zv {

// Writes the samples as a raw data file, status 0. Throws std::runtime_error when the file
// cannot be created or written.
class RawFileSink : public SampleSink {
  public:
    explicit RawFileSink(const std::string& path);
    void put(const std::array<uint16_t, 8>& codes) override;
    void close();

  private:
    RawDataWriter writer_;
};

}  // namespace zv
