#include <gtest/gtest.h>

#include "app/main_window.h"

TEST(MainWindow, CarriesTheProgramTitle) {
    TMain window;
    EXPECT_EQ(window.windowTitle(), "ZOLVelt");
}
