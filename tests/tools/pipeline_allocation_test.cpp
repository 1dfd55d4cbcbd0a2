#include <gtest/gtest.h>

#include <tuple>

#include "engine/weighing_engine.h"
#include "simulator/train_simulator.h"
#include "tools/allocation_counter.h"
#include "support/test_scale.h"

namespace zv {
namespace {

// The replay of a day of recordings must not touch the heap per sample: a whole train fed
// sample by sample allocates nothing until TrainEnd hands over its rows.
TEST(PipelineAllocationTest, FeedingATrainAllocatesNothing) {
    for (auto [npl, nadc, method] : {std::tuple{0, 1, 0}, {1, 2, 0}, {0, 1, 1}, {1, 2, 1}}) {
        Settings s = test::scaleSettings(npl, nadc);
        s.tflt = 10;
        s.WeighMethod = method;  // the weighing by axle loads records every sample too
        TrainDescription train;
        train.vehicles = {makeLocomotive(130000), makeWagon(4, 60000), makeWagon(6, 90000),
                          makeWagon(8, 120000)};
        SampleList list;
        TrainSimulator(s, train).run(list);
        WeighingEngine engine(s);
        engine.FiltCoef();
        engine.beginReplay();

        long before = test::allocationCount();
        uint32_t nowMs = 0;
        for (const auto& slots : list.samples) engine.feed(slots, nowMs += 20);
        EXPECT_EQ(test::allocationCount() - before, 0) << "platforms " << npl + 1 << ", method " << method;
        EXPECT_EQ(engine.TrainEnd().rows.size(), 4u);
        EXPECT_GT(test::allocationCount() - before, 0) << "the counter must see the rows";
    }
}

}  // namespace
}  // namespace zv
