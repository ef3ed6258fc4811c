#include "core/layout/top_band.h"

#include <algorithm>

#include "core/layout/twips.h"

namespace quintavia {
namespace {

struct Designed {
    int left, width, height;  // twips; every control has its top at 0
};

constexpr std::array<Designed, kBandControls> kDesign{{
    {30, 2115, 315},
    {2220, 1095, 315},
    {3390, 7035, 315},
    {10470, 1335, 285},
    {11850, 1365, 285},
    {13260, 1815, 315},
    {15120, 285, 285},
    // Right of the site labels' box, ending as far from the edge as the region box starts.
    {15450, 1035, 315},
}};

constexpr auto kLog = static_cast<std::size_t>(BandControl::Log);

int Pixels(int twips) {
    return TwipsToPixels(static_cast<float>(twips));
}

}  // namespace

BandRects TopBand(int clientWidth) {
    const int logWidth = std::max(
        kLogMinimumTwips, kDesign[kLog].width + static_cast<int>(PixelsToTwips(clientWidth)) -
                              kDesignClientWidthTwips);
    const int shift = logWidth - kDesign[kLog].width;
    BandRects rects;
    for (std::size_t i = 0; i < kBandControls; ++i) {
        const Designed& d = kDesign[i];
        const int left = i > kLog ? d.left + shift : d.left;
        const int width = i == kLog ? logWidth : d.width;
        rects[i] = QRect(Pixels(left), 0, Pixels(width), Pixels(d.height));
    }
    return rects;
}

}  // namespace quintavia
