#include "core/engine/new_window_filter.h"

#include "core/engine/protocol_names.h"

namespace quintavia {

NewWindowVerdict FilterNewWindow(const NewWindowFacts& facts) {
    // A read that fails never ends the decision: each step goes on as written beside it.
    if (facts.hasDocument == false) return {.stop = true, .beep = true};  // failed: has one
    if (facts.windowHasEvent.value_or(true)) return {.stop = false, .beep = false};
    if (!facts.hasFocusedElement.value_or(false)) return {.stop = true, .beep = false};
    const QString link = facts.href.value_or(QString());  // failed: the link stays empty
    if (link.isEmpty()) return {.stop = true, .beep = true};
    const bool unknown = facts.protocolLong.value_or(QString::fromLatin1(kUnknownProtocol)) ==
                         QLatin1String(kUnknownProtocol);
    return {.stop = true, .beep = unknown};
}

bool WindowRequestGate::isOpen(qint64 nowMs) const {
    return !lastHeardMs_ || nowMs - *lastHeardMs_ >= kIntervalMs;
}

bool WindowRequestGate::admit(qint64 nowMs) {
    if (!isOpen(nowMs)) return false;
    lastHeardMs_ = nowMs;
    return true;
}

}  // namespace quintavia
