#pragma once

#include <QString>

namespace quintavia {

enum class WindowState { Normal, Minimized, Maximized };

// The window's title as it opens; the countdown's long title grows from it.
inline constexpr auto kInitialTitle = "Quintavia by Norvello - www.norvello.it";

// The seconds between two automatic refreshes. The title never shows this value: the tick
// that goes back to it counts one down at once.
inline constexpr int kCountdownStart = 300;

// The title that shows the seconds left: short while the window is minimized, long otherwise.
QString CountdownTitle(int secondsLeft, WindowState state);

}  // namespace quintavia
