#pragma once

#include <QString>
#include <QtGlobal>
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

// A pane's page that asks for windows by itself, without its user, is heard at most once a
// second; the requests in between are stopped unheard, without a look at the page (no script
// runs) and without a beep. A page asking in a loop would otherwise keep the engine and the
// program busy without end. Times are in milliseconds on a clock that never goes back.
class WindowRequestGate {
  public:
    static constexpr qint64 kIntervalMs = 1000;

    // Whether a request arriving at `nowMs` is heard; a heard request closes the gate for the
    // next interval.
    bool admit(qint64 nowMs);
    // Whether a request arriving at `nowMs` would be heard.
    bool isOpen(qint64 nowMs) const;

  private:
    std::optional<qint64> lastHeardMs_;
};

}  // namespace quintavia
