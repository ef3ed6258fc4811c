#include "core/layout/top_band.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

// The band as designed, in pixels at 15 twips to the pixel: region box, "Aggiorna", log box,
// "Avviso sonoro", "Auto Posizione", "Salva posizione finestre", the site labels' box; then
// "Impostazioni" in the room the design leaves right of them.
const BandRects kDesigned = {QRect(2, 0, 141, 21),   QRect(148, 0, 73, 21), QRect(226, 0, 469, 21),
                             QRect(698, 0, 89, 19),  QRect(790, 0, 91, 19), QRect(884, 0, 121, 21),
                             QRect(1008, 0, 19, 19), QRect(1030, 0, 69, 21)};

// The designed band with the log box `change` pixels wider, and what stands right of it moved
// as far.
BandRects LogWider(int change) {
    BandRects rects = kDesigned;
    rects[2].setWidth(rects[2].width() + change);
    for (std::size_t i = 3; i < kBandControls; ++i) rects[i].translate(change, 0);
    return rects;
}

TEST(TopBand, TheLogBoxTakesWhatTheWindowGainsOrLoses) {
    struct Case {
        int clientWidth;
        BandRects expected;
    };
    const Case cases[] = {
        {1101, kDesigned},
        {1102, LogWider(1)},
        {1366, LogWider(265)},
        {1920, LogWider(819)},
        {2560, LogWider(1459)},
        // Narrower: the log box gives, and every control stays whole in the window.
        {1100, LogWider(-1)},
        {760, LogWider(-341)},
        // Half of a 1366-pixel screen: the log box at its 100 pixels, the rest still in.
        {683, LogWider(-369)},
        {658, LogWider(-369)},
        // Narrower still: the log box keeps its minimum, and the window cuts what is right.
        {500, LogWider(-369)},
        {0, LogWider(-369)},
    };
    for (const Case& c : cases) {
        const BandRects band = TopBand(c.clientWidth);
        for (std::size_t i = 0; i < kBandControls; ++i)
            EXPECT_EQ(band[i], c.expected[i]) << c.clientWidth << " px, control " << i;
    }
    // While the log box can give, the band ends as far from the right edge as at the design
    // width, and there "Impostazioni" is whole in the window, clear of the box left of it.
    for (const int width : {732, 760, 1101, 1920})
        EXPECT_EQ(width - TopBand(width)[7].right(), 1101 - kDesigned[7].right()) << width;
    EXPECT_LT(kDesigned[7].right(), 1101);
    EXPECT_GT(kDesigned[7].left(), kDesigned[6].right() + 1);
    EXPECT_EQ(TopBand(683)[2].width(), 100);
}

}  // namespace
}  // namespace quintavia
