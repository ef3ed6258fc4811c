#pragma once

#include <QString>
#include <optional>

namespace quintavia {

// What the core reads from the page a pane currently shows. The engine behind a pane is
// asynchronous; implementations answer from what they already hold, so every call here is
// synchronous and cheap. std::nullopt means the read failed (the page cannot give it).
class PaneDocument {
  public:
    virtual ~PaneDocument() = default;

    // The root element's whole markup, as UTF-16 text.
    virtual std::optional<QString> outerHtml() const = 0;

    // The page's scroll offsets in CSS pixels. The setters take the offset as text and turn it
    // into a number as the document does (ScrollOffsetFromText); false when it is refused.
    virtual std::optional<double> scrollTop() const = 0;
    virtual std::optional<double> scrollLeft() const = 0;
    virtual bool setScrollTop(const QString& offset) = 0;
    virtual bool setScrollLeft(const QString& offset) = 0;

    // Whether the document's window is handling an event (the user's click or key press) at
    // this moment: pages may open windows only then.
    virtual std::optional<bool> windowHasEvent() const = 0;
    // Whether an element of the document has the focus, and that element's link address
    // (empty when it has none) and descriptive protocol name.
    virtual std::optional<bool> hasActiveElement() const = 0;
    virtual std::optional<QString> activeElementHref() const = 0;
    virtual std::optional<QString> activeElementProtocolLong() const = 0;
};

// One browser pane. Positions and sizes are in twips of the window's client area.
class Pane {
  public:
    virtual ~Pane() = default;

    // Starts loading the address and returns at once; false when the pane refused it.
    virtual bool navigate(const QString& address) = 0;

    // The current document, or nullptr while the pane has none.
    virtual PaneDocument* document() = 0;

    // Setters return false when the pane refuses the value; getters give what was applied.
    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    virtual bool setLeft(float twips) = 0;
    virtual bool setTop(float twips) = 0;
    virtual bool setWidth(float twips) = 0;
    virtual bool setHeight(float twips) = 0;  // refuses a negative height
};

}  // namespace quintavia
