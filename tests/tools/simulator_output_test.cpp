#include <gtest/gtest.h>

#include <sstream>

#include "link/frame_decoder.h"
#include "link/raw_data_file.h"
#include "simulator/frame_stream_sink.h"
#include "simulator/raw_file_sink.h"
#include "simulator/train_simulator.h"
#include "support/temp_dir.h"
#include "support/test_scale.h"

namespace zv {
namespace {

using test::scaleSettings;

TrainDescription shortTrain() {
    TrainDescription t;
    t.vehicles = {makeWagon(4, 70000, 3000)};
    t.speed = {12, 12};
    t.emptySeconds = 0.5;
    return t;
}

// Feeds one simulation to two sinks at once.
class BothSinks : public SampleSink {
  public:
    BothSinks(SampleSink& a, SampleSink& b) : a_(a), b_(b) {}
    void put(const std::array<uint16_t, 8>& slots) override {
        a_.put(slots);
        b_.put(slots);
    }

  private:
    SampleSink& a_;
    SampleSink& b_;
};

struct Decoded {
    std::vector<std::array<uint16_t, 8>> samples;
    int rejected = 0;
    int marks = 0;
};

Decoded decode(const std::string& bytes, const Settings& s) {
    FrameDecoder decoder;
    decoder.setLayout(s.Nadc, s.Npl);
    Decoded d;
    int smpCnt = 0;
    for (char c : bytes) {
        if (!decoder.feed(static_cast<uint8_t>(c))) continue;
        d.samples.push_back(decoder.frame().codes);
        if (decoder.frame().calibrationMark) decoder.onCalibrationMark(smpCnt);
    }
    d.rejected = decoder.FrameErr();
    d.marks = decoder.MarkCnt();
    return d;
}

TEST(SimulatorOutputTest, FramesDecodeBackToTheSamplesInEveryLayout) {
    for (auto [npl, nadc] : {std::pair{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}) {
        Settings s = scaleSettings(npl, nadc);
        SampleList list;
        std::ostringstream bytes;
        FrameStreamSink frames(bytes, s);
        BothSinks both(list, frames);
        TrainSimulator(s, shortTrain()).run(both);

        Decoded d = decode(bytes.str(), s);
        EXPECT_EQ(d.samples, list.samples) << "Npl " << npl << " Nadc " << nadc;
        EXPECT_EQ(d.rejected, 0);
        long expectedMarks = (static_cast<long>(list.samples.size()) + s.Fadc - 1) / s.Fadc;
        EXPECT_EQ(d.marks, expectedMarks);
        EXPECT_EQ(frames.marks(), expectedMarks);
    }
}

TEST(SimulatorOutputTest, SpoiledFramesAreRejectedOnceEachAndTheRestArrive) {
    Settings s = scaleSettings(1, 2);
    SampleList list;
    std::ostringstream bytes;
    FrameStreamSink frames(bytes, s, 0.05, 7);
    BothSinks both(list, frames);
    TrainSimulator(s, shortTrain()).run(both);

    Decoded d = decode(bytes.str(), s);
    EXPECT_GT(frames.corrupted(), 5);
    EXPECT_EQ(d.rejected, frames.corrupted());
    EXPECT_EQ(static_cast<long>(d.samples.size()), frames.frames() - frames.corrupted());
}

TEST(SimulatorOutputTest, RawFileReadsBackRecordByRecord) {
    test::TempDir dir;
    Settings s = scaleSettings(1, 1);
    SampleList list;
    RawFileSink raw((dir / "train.dat").string());
    BothSinks both(list, raw);
    TrainSimulator(s, shortTrain()).run(both);
    raw.close();

    RawDataReader reader;
    ASSERT_TRUE(reader.open((dir / "train.dat").string()));
    std::vector<std::array<uint16_t, 8>> back;
    for (RawRecord r; reader.next(r);) {
        back.push_back(r.codes);
        EXPECT_EQ(r.status, 0);
    }
    EXPECT_EQ(back, list.samples);
}

TEST(SimulatorOutputTest, AnUnwritableRawFileIsReported) {
    test::TempDir dir;
    EXPECT_THROW(RawFileSink((dir / "no-such-folder" / "x.dat").string()), std::runtime_error);
}

}  // namespace
}  // namespace zv
