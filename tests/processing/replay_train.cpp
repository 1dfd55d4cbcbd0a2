// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/sample_sink.h"
#include "simulator/train_simulator.h"
// clang-format off
#include "replay_train.h"
// clang-format on

#include "engine/weighing_engine.h"
#include "records/records_database.h"
#include "records/train_storage.h"
#include "support/test_scale.h"

namespace zv::test {

int replayTrain(RecordsDatabase& records, std::initializer_list<double> masses) {
    Settings scale = scaleSettings(1, 1);
    scale.tflt = 10;  // a settling delay a 5 m platform leaves room for
    TrainDescription train;
    for (double mass : masses) train.vehicles.push_back(makeWagon(4, mass));
    SampleList list;
    TrainSimulator(scale, train).run(list);

    WeighingEngine engine(scale);
    engine.FiltCoef();
    engine.beginReplay();
    uint32_t nowMs = 0;
    for (const auto& codes : list.samples) engine.feed(codes, nowMs += 20);
    const int n = StoreTrain(records, engine.TrainEnd());
    records.setSelectedTrain(n);
    records.showSelectedTrain();
    return n;
}

}  // namespace zv::test
