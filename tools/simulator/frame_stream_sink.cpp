#include "simulator/frame_stream_sink.h"

#include "link/frame_encoder.h"

namespace zv {

FrameStreamSink::FrameStreamSink(std::ostream& out, const Settings& settings, double corruptShare,
                                 uint64_t seed)
    : out_(out),
      nadc_(settings.Nadc),
      npl_(settings.Npl),
      fadc_(settings.Fadc > 0 ? settings.Fadc : 1),
      corruptShare_(corruptShare),
      random_(seed) {}

void FrameStreamSink::put(const std::array<uint16_t, 8>& codes) {
    bool mark = frames_ % fadc_ == 0;
    auto frame = encodeFrame(codes, nadc_, npl_, 0, mark);
    ++frames_;
    if (mark) ++marks_;
    if (corruptShare_ > 0 &&
        std::uniform_real_distribution<double>(0, 1)(random_) < corruptShare_) {
        // A data byte keeps its top bit clear, so the frame still ends normally and only
        // its check fails, as after a disturbance on the line.
        int byte = std::uniform_int_distribution<int>(2, 20)(random_);
        int bit = std::uniform_int_distribution<int>(0, 6)(random_);
        frame[byte] ^= static_cast<uint8_t>(1 << bit);
        ++corrupted_;
    }
    out_.write(reinterpret_cast<const char*>(frame.data()),
               static_cast<std::streamsize>(frame.size()));
}

}  // namespace zv
