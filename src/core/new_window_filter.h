#pragma once

#include <QString>
#include <optional>

namespace quintavia {

// What the filter learns from a pane whose page asks for a new window. Any read may fail
// (std::nullopt); the filter then goes on as it says for that step.
struct NewWindowFacts {
    std::optional<bool> hasDocument;        // the pane has a document
    std::optional<bool> windowHasEvent;     // the document's window is handling an event
    std::optional<bool> hasFocusedElement;  // the document has a focused element
    std::optional<QString> href;            // the focused element's link address
    std::optional<QString> protocolLong;    // the focused element's protocol name
};

struct NewWindowVerdict {
    bool stop = false;  // the new window is not opened
    bool beep = false;  // the alert sounds, after the window has been stopped
};

// A page may open a window only while the user's own click or key press is being handled (or
// when the pane cannot tell at all). Every other request is stopped; the beep tells apart the
// requests that have no plausible link behind them.
NewWindowVerdict FilterNewWindow(const NewWindowFacts& facts);

}  // namespace quintavia
