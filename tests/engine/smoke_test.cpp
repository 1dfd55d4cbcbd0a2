#include <gtest/gtest.h>

#include "engine/weighing_engine.h"

TEST(WeighingEngine, IdleEngineStoresNothing) {
    zv::Settings settings;
    zv::WeighingEngine engine(settings);
    engine.feed({}, 0);
    EXPECT_FALSE(engine.trainInProgress());
    EXPECT_TRUE(engine.TrainEnd().empty());
}
