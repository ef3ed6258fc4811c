#include "app/pane_layout.h"

namespace quintavia {
namespace {

constexpr double kHalves = 2.0;

// Sums and quotients are worked out wider and then kept in single precision, as the window's
// coordinates are.
float Single(double value) {
    return static_cast<float>(value);
}

}  // namespace

void LayOutPanes(WindowControls& controls, const std::array<Pane*, kSiteCount>& panes) {
    // Each size reads the client area anew. A pane may round what it is given, so the right
    // column and the bottom row are placed from what the panes report back, never from the
    // computed values; a negative height is refused and the pane keeps its previous one.
    for (Pane* pane : panes) {
        if (!pane) continue;
        pane->setWidth(Single(controls.clientWidth() / kHalves));
        pane->setHeight(Single((controls.clientHeight() - double{kTopStripTwips}) / kHalves));
    }

    Pane* const topLeft = panes[0];
    Pane* const topRight = panes[1];
    Pane* const bottomLeft = panes[2];
    Pane* const bottomRight = panes[3];
    if (topLeft) topLeft->setLeft(0.0f);
    if (topLeft && topRight) topRight->setLeft(topLeft->width());
    if (bottomLeft) bottomLeft->setLeft(0.0f);
    if (bottomLeft && bottomRight) bottomRight->setLeft(bottomLeft->width());
    if (topLeft) topLeft->setTop(kTopStripTwips);
    if (topRight) topRight->setTop(kTopStripTwips);
    // Both bottom panes start under the bottom-left one, whatever height the right one has.
    if (bottomLeft) bottomLeft->setTop(Single(double{bottomLeft->height()} + kTopStripTwips));
    if (bottomLeft && bottomRight)
        bottomRight->setTop(Single(double{bottomLeft->height()} + kTopStripTwips));

    for (int i = 0; i < kSiteCount; ++i) {
        const Pane* pane = panes[static_cast<std::size_t>(i)];
        if (!pane) continue;
        controls.setLabelTop(i, pane->top());
        controls.setLabelLeft(i, pane->left());
    }
}

bool ShowPaneLabels(WindowControls& controls) {
    // The check box is read once per label: greyed hides them as unticked does.
    for (int i = 0; i < kSiteCount; ++i) {
        const bool shown = controls.checkValue(CheckBox::Check3) == kTicked;
        if (!controls.setLabelVisible(i, shown)) return false;
    }
    return true;
}

}  // namespace quintavia
