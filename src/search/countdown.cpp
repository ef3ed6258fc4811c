#include "search/countdown.h"

#include <QLocale>
#include <cmath>

namespace quintavia {

std::optional<double> CountToNumber(const QString& count) {
    bool ok = false;
    double value = QLocale().toDouble(count, &ok);
    if (!ok) value = QLocale::c().toDouble(count, &ok);
    // The conversion accepts "nan" and "inf", which are no counts.
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString NumberToCount(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString CountdownTitle(const QString& count, std::optional<WindowState> state) {
    if (state && *state != WindowState::Minimized)
        return QString::fromLatin1(kDesignTitle) + QStringLiteral(" : ") + count;
    return count + QStringLiteral(" - Quintavia");
}

}  // namespace quintavia
