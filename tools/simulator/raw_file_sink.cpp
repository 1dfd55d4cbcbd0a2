#include "simulator/raw_file_sink.h"

#include <stdexcept>

namespace zv {

RawFileSink::RawFileSink(const std::string& path) {
    if (!writer_.open(path)) throw std::runtime_error(writer_.error());
}

void RawFileSink::put(const std::array<uint16_t, 8>& codes) {
    if (!writer_.append(RawRecord{codes, 0})) throw std::runtime_error(writer_.error());
}

void RawFileSink::close() {
    if (!writer_.close()) throw std::runtime_error(writer_.error());
}

}  // namespace zv
