#pragma once

#include <QString>
#include <optional>

#include "app/window_controls.h"

namespace quintavia {

// The window's title as it opens; the countdown's long title form grows from it.
inline constexpr auto kDesignTitle = "Quintavia by Norvello - www.norvello.it";

// The count the countdown starts from, and goes back to once it has reached 0.
inline const QString kCountdownStart = QStringLiteral("300");

// The count as a number: read the way the user's locale writes numbers, else the C way.
// nullopt for anything that is not a finite number.
std::optional<double> CountToNumber(const QString& count);

// A number as count text, in its shortest decimal form ("299", "0").
QString NumberToCount(double value);

// The window title that shows the count: short while the window is minimized (or its state
// cannot be read), long otherwise.
QString CountdownTitle(const QString& count, std::optional<WindowState> state);

}  // namespace quintavia
