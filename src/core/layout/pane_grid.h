#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

namespace quintavia {

// The strip along the top of the client area that the window keeps for its own controls.
inline constexpr float kTopStripTwips = 315.0f;

using PaneRects = QList<QRect>;

// How many columns and rows a grid of `paneCount` panes has: as square as it can be, wider
// than tall when it cannot (two by two for four, three by two for six).
struct GridShape {
    int columns = 2;
    int rows = 2;

    bool operator==(const GridShape&) const = default;
};
GridShape GridShapeFor(int paneCount);

// What a pane is called where the user chooses its site, with where it sits in the grid of
// `paneCount`: "Riquadro &1 (in alto a sinistra)", the "&" before the digit its Alt key (none
// past the ninth pane).
QString PaneCaption(int pane, int paneCount);

// The panes in the client area under the top strip, row by row, in pixels, by pane. The grid
// is worked out in twips, in single precision, and each size is rounded to whole pixels as a
// pane applies it; the columns after the first and the rows after the first are placed from
// the rounded sizes. A client area shorter than the strip would give negative heights: the
// panes then keep their `previous` heights.
PaneRects PaneGrid(QSize client, int paneCount, const PaneRects& previous);

}  // namespace quintavia
