#include <gtest/gtest.h>

#include "harness.h"

namespace quintavia::e2e {
namespace {

// The countdown timer ticks once a second: the title follows the count and the window's state.
TEST(Countdown, TitleCountsDownInTheFormOfTheWindowState) {
    Harness::instance().reset();
    auto window = StartWindow();
    ASSERT_TRUE(WaitFor([&] { return window->windowTitle().endsWith(" : 299"); }, 5000))
        << window->windowTitle().toStdString();
    EXPECT_EQ(window->windowTitle(), "Quintavia by Norvello - www.norvello.it : 299");

    window->showMinimized();
    EXPECT_TRUE(WaitFor([&] { return window->windowTitle() == "298 - Quintavia"; }, 5000))
        << window->windowTitle().toStdString();

    window->showMaximized();
    EXPECT_TRUE(WaitFor(
        [&] { return window->windowTitle() == "Quintavia by Norvello - www.norvello.it : 297"; },
        5000))
        << window->windowTitle().toStdString();
}

}  // namespace
}  // namespace quintavia::e2e
