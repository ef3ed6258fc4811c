#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace quintavia {

// The element that has the focus in a pane's page, as far as the page could tell.
// std::nullopt: that read failed.
struct FocusedElement {
    std::optional<bool> present;
    std::optional<QString> href;
    std::optional<QString> protocolLong;
};

// A script for the page's isolated world that describes its focused element.
QString FocusedElementScript();

// Reads the script's answer; anything but an answer of the script makes every read fail.
FocusedElement FocusedElementFromScript(const QVariant& answer);

}  // namespace quintavia
