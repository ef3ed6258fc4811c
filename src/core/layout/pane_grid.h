#pragma once

#include <QRect>
#include <QSize>
#include <array>

#include "core/sites/sites.h"

namespace quintavia {

// The strip along the top of the client area that the window keeps for its own controls.
inline constexpr float kTopStripTwips = 315.0f;

using PaneRects = std::array<QRect, kSiteCount>;

// The four panes in the client area under the top strip, two by two, in pixels, by site
// index. The grid is worked out in twips, in single precision, and each size is rounded to
// whole pixels as a pane applies it; the right column and the bottom row are placed from the
// rounded sizes. A client area shorter than the strip would give negative heights: the panes
// then keep their `previous` heights.
PaneRects PaneGrid(QSize client, const PaneRects& previous);

}  // namespace quintavia
