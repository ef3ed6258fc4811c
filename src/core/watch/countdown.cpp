#include "core/watch/countdown.h"

namespace quintavia {

QString CountdownTitle(int secondsLeft, WindowState state) {
    const QString count = QString::number(secondsLeft);
    if (state != WindowState::Minimized)
        return QString::fromLatin1(kInitialTitle) + QStringLiteral(" : ") + count;
    return count + QStringLiteral(" - Quintavia");
}

}  // namespace quintavia
