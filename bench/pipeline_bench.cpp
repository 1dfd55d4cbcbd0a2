// The whole per-sample pipeline (DatFilt, DatPro, Axle with its weighing steps) over a long
// simulated train, as a replay runs it.
#include <benchmark/benchmark.h>

#include <map>
#include <utility>

#include "engine/weighing_engine.h"
#include "simulator/train_simulator.h"

namespace {

zv::Settings scale(int npl, int nadc) {
    zv::Settings s;
    s.Npl = npl;
    s.Nadc = nadc;
    s.tflt = 10;
    s.a0.fill(1000);
    s.ak.fill(2000000);
    return s;
}

// A locomotive and 120 wagons of every kind: some 40000 samples at 8 km/h.
zv::TrainDescription longTrain() {
    zv::TrainDescription t;
    t.vehicles.push_back(zv::makeLocomotive(130000));
    for (int i = 0; i < 40; ++i) {
        t.vehicles.push_back(zv::makeWagon(4, 60000 + 100 * i, 1000));
        t.vehicles.push_back(zv::makeWagon(6, 90000 - 100 * i));
        t.vehicles.push_back(zv::makeWagon(8, 120000, -1500));
    }
    t.speed = {8, 7};
    return t;
}

const std::vector<std::array<uint16_t, 8>>& samplesFor(const zv::Settings& s) {
    static std::map<std::pair<int, int>, zv::SampleList> cache;
    auto key = std::make_pair(s.Npl, s.Nadc);
    auto it = cache.find(key);
    if (it == cache.end()) {
        it = cache.emplace(key, zv::SampleList{}).first;
        zv::TrainSimulator(s, longTrain()).run(it->second);
    }
    return it->second.samples;
}

void pipeline(benchmark::State& state) {
    zv::Settings s = scale(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto& samples = samplesFor(s);
    zv::WeighingEngine engine(s);
    engine.FiltCoef();
    engine.beginReplay();
    uint32_t nowMs = 0;
    size_t wagons = 0;
    for (auto _ : state) {
        for (const auto& slots : samples) engine.feed(slots, nowMs += 20);
        wagons = engine.TrainEnd().rows.size();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * samples.size()));
    state.counters["samples_per_train"] = static_cast<double>(samples.size());
    state.counters["wagons_per_train"] = static_cast<double>(wagons);
}

// Arguments: Npl, Nadc.
BENCHMARK(pipeline)->Args({0, 1})->Args({1, 1})->Args({1, 2})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
