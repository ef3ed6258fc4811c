#pragma once

#include <QString>
#include <cmath>
#include <optional>

namespace quintavia {

// How a document takes a scroll offset given as text: a finite decimal number in the C
// locale, blanks around it allowed ("120", "12.5", "1e3"). Anything else is refused.
inline std::optional<double> ScrollOffsetFromText(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace quintavia
