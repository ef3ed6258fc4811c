#include "core/watch/scroll_offset.h"

#include <QLocale>
#include <cmath>

namespace quintavia {

std::optional<double> ScrollOffsetFromText(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<QString> ScrollOffsetToText(double offset) {
    if (!std::isfinite(offset)) return std::nullopt;
    const double value = offset == 0 ? 0.0 : offset;
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

}  // namespace quintavia
