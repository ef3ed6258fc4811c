#pragma once

#include <cmath>

namespace quintavia {

// Window geometry is kept in twips; Qt lays widgets out in logical pixels.
inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(float twips) {
    return static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel)));
}
inline float PixelsToTwips(int pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}

}  // namespace quintavia
