#include "core/layout/pane_grid.h"

#include "core/layout/twips.h"

namespace quintavia {
namespace {

constexpr double kHalves = 2.0;

// Sums and quotients are worked out wider and then kept in single precision, as the window's
// coordinates are.
float Single(double value) {
    return static_cast<float>(value);
}

}  // namespace

PaneRects PaneGrid(QSize client, const PaneRects& previous) {
    const float width = PixelsToTwips(client.width());
    const float height = PixelsToTwips(client.height());
    const float half = Single(width / kHalves);
    const float rowHeight = Single((double{height} - kTopStripTwips) / kHalves);

    PaneRects rects;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        rects[i].setWidth(TwipsToPixels(half));
        rects[i].setHeight(rowHeight >= 0 ? TwipsToPixels(rowHeight) : previous[i].height());
    }
    const int top = TwipsToPixels(kTopStripTwips);
    // Both bottom panes start under the bottom-left one, whatever height the right one has.
    const int bottom =
        TwipsToPixels(Single(double{PixelsToTwips(rects[2].height())} + kTopStripTwips));
    rects[0].moveTo(0, top);
    rects[1].moveTo(rects[0].width(), top);
    rects[2].moveTo(0, bottom);
    rects[3].moveTo(rects[2].width(), bottom);
    return rects;
}

}  // namespace quintavia
