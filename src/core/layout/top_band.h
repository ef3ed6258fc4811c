#pragma once

#include <QRect>
#include <array>
#include <cstddef>

namespace quintavia {

// The controls of the top band, from left to right.
enum class BandControl : std::size_t {
    RegionBox,
    Refresh,
    Log,
    SoundAlert,
    AutoPosition,
    SaveScroll,
    SiteLabels,
    // Not the design's: "Impostazioni", in the room it leaves at the band's right end.
    Settings,
};
inline constexpr std::size_t kBandControls = 8;
using BandRects = std::array<QRect, kBandControls>;

// The width of the client area that the band was designed for, in twips.
inline constexpr int kDesignClientWidthTwips = 16515;
// The log box gives up width down to this, in twips (100 pixels).
inline constexpr int kLogMinimumTwips = 1500;

// The top band for a client area `clientWidth` pixels wide, in pixels, by control. At the
// design width it is the band as designed. The log box takes whatever the client area has more
// or less than that, down to its minimum, and the controls right of it move with it: a narrow
// window cuts none of them while the log box can still give, and a wide one gives the newest
// title the room. The band is worked out in twips and each value rounded to whole pixels, as
// the window places its controls.
BandRects TopBand(int clientWidth);

}  // namespace quintavia
