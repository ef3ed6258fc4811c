#include <gtest/gtest.h>

#include "bench.h"

namespace quintavia::e2e {
namespace {

// Timer1 ticks once a second: the title follows the count and the window's state.
TEST(Countdown, TitleCountsDownInTheFormOfTheWindowState) {
    Bench::instance().reset();
    auto form = StartWindow();
    ASSERT_TRUE(WaitUntil([&] { return form->windowTitle().endsWith(" : 299"); }, 5000))
        << form->windowTitle().toStdString();
    EXPECT_EQ(form->windowTitle(), "Quintavia by Norvello - www.norvello.it : 299");

    form->showMinimized();
    EXPECT_TRUE(WaitUntil([&] { return form->windowTitle() == "298 - Quintavia"; }, 5000))
        << form->windowTitle().toStdString();

    form->showMaximized();
    EXPECT_TRUE(WaitUntil(
        [&] { return form->windowTitle() == "Quintavia by Norvello - www.norvello.it : 297"; },
        5000))
        << form->windowTitle().toStdString();
}

}  // namespace
}  // namespace quintavia::e2e
