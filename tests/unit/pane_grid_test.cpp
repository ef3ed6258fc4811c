#include "core/layout/pane_grid.h"

#include <gtest/gtest.h>

#include "core/layout/panes.h"

namespace quintavia {
namespace {

// The window's coordinates are twips at 15 to the pixel: a client area of 900 by 915 twips is
// 60 by 61 pixels, the strip 21 pixels.
QRect Twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

TEST(PaneGrid, FillsTheClientAreaTwoByTwoUnderTheTopStrip) {
    struct Case {
        QSize client;
        PaneRects expected;
    };
    const Case cases[] = {
        {{60, 61},
         {Twips(0, 315, 450, 300), Twips(450, 315, 450, 300), Twips(0, 615, 450, 300),
          Twips(450, 615, 450, 300)}},
        // The window as it opens, 16515 by 9240 twips: a half of 8257.5 twips is 550.5 pixels,
        // which the pane makes 551.
        {{1101, 616},
         {QRect(0, 21, 551, 298), QRect(551, 21, 551, 298), QRect(0, 319, 551, 298),
          QRect(551, 319, 551, 298)}},
        // No taller than the strip: both rows empty, at the strip.
        {{60, 21},
         {QRect(0, 21, 30, 0), QRect(30, 21, 30, 0), QRect(0, 21, 30, 0), QRect(30, 21, 30, 0)}},
        // An odd width: the right column starts where the left pane's rounded width ends.
        {{67, 61},
         {QRect(0, 21, 34, 20), QRect(34, 21, 34, 20), QRect(0, 41, 34, 20),
          QRect(34, 41, 34, 20)}},
        // An odd height below the strip: 20.5 pixels a row, made 21.
        {{60, 62},
         {QRect(0, 21, 30, 21), QRect(30, 21, 30, 21), QRect(0, 42, 30, 21),
          QRect(30, 42, 30, 21)}},
    };
    for (const Case& c : cases) {
        const PaneRects grid = PaneGrid(c.client, kPaneCount, {});
        for (qsizetype i = 0; i < grid.size(); ++i)
            EXPECT_EQ(grid[i], c.expected[static_cast<std::size_t>(i)])
                << c.client.width() << "x" << c.client.height() << " pane " << i;
    }
}

TEST(PaneGrid, AClientAreaShorterThanTheStripKeepsThePreviousHeights) {
    const PaneRects before = PaneGrid({60, 61}, kPaneCount, {});
    PaneRects previous = before;
    previous[3].setHeight(40);  // the bottom row still hangs from pane 2's height
    const PaneRects grid = PaneGrid({40, 13}, kPaneCount, previous);
    EXPECT_EQ(grid[0], QRect(0, 21, 20, 20));
    EXPECT_EQ(grid[1], QRect(20, 21, 20, 20));
    EXPECT_EQ(grid[2], QRect(0, 41, 20, 20));
    EXPECT_EQ(grid[3], QRect(20, 41, 20, 40));
    // A usable size again lays the whole grid out anew.
    EXPECT_EQ(PaneGrid({60, 61}, kPaneCount, grid), before);
}

}  // namespace
}  // namespace quintavia
