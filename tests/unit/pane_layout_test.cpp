#include <gtest/gtest.h>

#include "fakes.h"

namespace quintavia::testing {
namespace {

struct Rect {
    float left, top, width, height;
    bool operator==(const Rect&) const = default;
};

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

Rect Of(const FakePane& pane) {
    return {pane.left(), pane.top(), pane.width(), pane.height()};
}

class PaneLayout : public ::testing::Test {
  protected:
    void resize(float width, float height) {
        w.controls.clientW = width;
        w.controls.clientH = height;
        w.logic.onResize();
    }

    // Every label sits on its pane's top-left corner.
    void expectLabelsOnPanes() {
        for (int i = 0; i < kSiteCount; ++i) {
            const auto& label = w.controls.labels[static_cast<std::size_t>(i)];
            EXPECT_EQ(label.left, w.panes[static_cast<std::size_t>(i)].left()) << "label " << i;
            EXPECT_EQ(label.top, w.panes[static_cast<std::size_t>(i)].top()) << "label " << i;
        }
    }

    FakeWindow w;
};

TEST_F(PaneLayout, FillsTheClientAreaTwoByTwoUnderTheTopStrip) {
    resize(900, 915);
    EXPECT_EQ(Of(w.panes[0]), (Rect{0, 315, 450, 300}));
    EXPECT_EQ(Of(w.panes[1]), (Rect{450, 315, 450, 300}));
    EXPECT_EQ(Of(w.panes[2]), (Rect{0, 615, 450, 300}));
    EXPECT_EQ(Of(w.panes[3]), (Rect{450, 615, 450, 300}));
    expectLabelsOnPanes();

    // The window as it opens: 16515 by 9240.
    resize(16515, 9240);
    EXPECT_EQ(Of(w.panes[2]), (Rect{0, 4785, 8265, 4470}));
    expectLabelsOnPanes();
}

TEST_F(PaneLayout, AClientAreaNoTallerThanTheStripLeavesBothRowsEmptyAtTheStrip) {
    resize(900, 315);
    for (const FakePane& pane : w.panes) {
        EXPECT_EQ(pane.height(), 0);
        EXPECT_EQ(pane.top(), 315);
    }
    expectLabelsOnPanes();
}

TEST_F(PaneLayout, TheRightColumnStartsWhereTheLeftPaneSaysItEnds) {
    // 1005 / 2 = 502.5 twips, which a pane of whole 15-twip pixels makes 510.
    resize(1005, 915);
    for (const FakePane& pane : w.panes) EXPECT_EQ(pane.width(), 510);
    EXPECT_EQ(w.panes[1].left(), 510);
    EXPECT_EQ(w.panes[3].left(), 510);
    // 1091 / 2 = 545.5, made 540: now the column starts left of the computed half.
    resize(1091, 915);
    EXPECT_EQ(w.panes[1].left(), 540);
    EXPECT_EQ(w.panes[3].left(), 540);
    expectLabelsOnPanes();
}

TEST_F(PaneLayout, EachRightPaneStartsWhereItsLeftNeighbourReportsItsWidth) {
    resize(900, 915);
    w.panes[2].refuseWidth = true;
    resize(1200, 915);
    EXPECT_EQ(w.panes[1].left(), 600);
    EXPECT_EQ(w.panes[3].left(), 450);  // pane 2 kept its width
    EXPECT_EQ(w.controls.labels[3].left, 450);
}

TEST_F(PaneLayout, AWindowShorterThanTheStripKeepsTheHeightsAndLaysOutTheRest) {
    resize(900, 915);
    w.panes[3].setHeight(600);  // the bottom row still hangs from pane 2's height
    w.controls.labels[1].top = -1;
    resize(600, 200);
    for (int i = 0; i < kSiteCount; ++i) EXPECT_EQ(w.panes[i].width(), 300) << i;
    EXPECT_EQ(Of(w.panes[1]), (Rect{300, 315, 300, 300}));
    EXPECT_EQ(Of(w.panes[2]), (Rect{0, 615, 300, 300}));
    EXPECT_EQ(Of(w.panes[3]), (Rect{300, 615, 300, 600}));
    expectLabelsOnPanes();

    resize(900, 915);  // restored: the full layout again
    EXPECT_EQ(Of(w.panes[3]), (Rect{450, 615, 450, 300}));
}

TEST_F(PaneLayout, AMissingPaneSkipsOnlyTheStepsThatNeedIt) {
    w.panes[1].setLeft(45);
    Form1Logic logic(Form1Parts{w.controls,
                                {nullptr, &w.panes[1], &w.panes[2], &w.panes[3]},
                                &w.store,
                                &w.sound,
                                &w.beep,
                                {}});
    w.controls.clientW = 900;
    w.controls.clientH = 915;
    w.controls.labels[0].top = -1;
    logic.onResize();
    EXPECT_EQ(Of(w.panes[1]), (Rect{45, 315, 450, 300}));
    EXPECT_EQ(Of(w.panes[3]), (Rect{450, 615, 450, 300}));
    EXPECT_EQ(w.controls.labels[0].top, -1);
    EXPECT_EQ(w.controls.labels[1].left, 45);
}

TEST_F(PaneLayout, Check3ShowsTheLabelsOnlyWhenTicked) {
    for (const auto& [value, shown] : {std::pair{1, true}, {0, false}, {1, true}, {2, false}}) {
        w.controls.checks[static_cast<std::size_t>(CheckBox::Check3)] = value;
        EXPECT_TRUE(w.logic.onLabelToggle());
        for (const auto& label : w.controls.labels) EXPECT_EQ(label.visible, shown) << value;
    }
    // Hidden labels still follow their panes, ready to be shown in place.
    resize(1200, 915);
    expectLabelsOnPanes();
}

TEST_F(PaneLayout, ALabelThatRefusesEndsTheToggle) {
    w.controls.checks[static_cast<std::size_t>(CheckBox::Check3)] = kTicked;
    w.controls.labels[1].refuse = true;
    EXPECT_FALSE(w.logic.onLabelToggle());
    EXPECT_TRUE(w.controls.labels[0].visible);
    EXPECT_FALSE(w.controls.labels[2].visible);
    EXPECT_FALSE(w.controls.labels[3].visible);
}

}  // namespace
}  // namespace quintavia::testing
