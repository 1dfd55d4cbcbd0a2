// The whole per-sample pipeline (DatFilt, DatPro, Axle with its weighing steps) over a long
// simulated train, as a replay runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <utility>

#include "engine/weighing_engine.h"
#include "simulator/train_simulator.h"

namespace {

// Processor time of this thread, ms: the machine may be busy with other work.
double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

zv::Settings scale(int npl, int nadc, int method = 0) {
    zv::Settings s;
    s.Npl = npl;
    s.Nadc = nadc;
    s.WeighMethod = method;
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
    zv::Settings s = scale(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                           static_cast<int>(state.range(2)));
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

// Arguments: Npl, Nadc, WeighMethod.
BENCHMARK(pipeline)
    ->Args({0, 1, 0})
    ->Args({1, 1, 0})
    ->Args({1, 2, 0})
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
    ->Args({1, 2, 1})
    ->Unit(benchmark::kMillisecond);

// 201 four-axle wagons at 10 km/h: the 200th wagon's completion hands the first 200 over as
// a train, which the weighing by axle loads solves inside that one sample's feed; the rest
// is solved at TrainEnd. Reports the slowest feed of a sample and the TrainEnd (processor
// time), each as the 25 ms tick would have to carry it.
void worstTick(benchmark::State& state) {
    zv::Settings s = scale(static_cast<int>(state.range(0)), 1, static_cast<int>(state.range(1)));
    static std::map<int, zv::SampleList> cache;
    auto it = cache.find(s.Npl);
    if (it == cache.end()) {
        zv::TrainDescription t;
        for (int i = 0; i < 201; ++i) t.vehicles.push_back(zv::makeWagon(4, 60000 + 100 * i));
        t.speed = {10, 10};
        it = cache.emplace(s.Npl, zv::SampleList{}).first;
        zv::TrainSimulator(s, t).run(it->second);
    }
    const auto& samples = it->second.samples;
    double slowestFeed = 0, trainEnd = 0;
    for (auto _ : state) {
        zv::WeighingEngine engine(s);
        engine.beginReplay();
        uint32_t nowMs = 0;
        for (const auto& slots : samples) {
            const double start = threadMs();
            engine.feed(slots, nowMs += 20);
            slowestFeed = std::max(slowestFeed, threadMs() - start);
            while (engine.hasCompletedTrain()) benchmark::DoNotOptimize(engine.takeCompletedTrain());
        }
        const double start = threadMs();
        benchmark::DoNotOptimize(engine.TrainEnd());
        trainEnd = std::max(trainEnd, threadMs() - start);
    }
    state.counters["slowest_feed_ms"] = slowestFeed;
    state.counters["train_end_ms"] = trainEnd;
}

// Arguments: Npl, WeighMethod.
BENCHMARK(worstTick)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
