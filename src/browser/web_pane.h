#pragma once

#include <QWebEngineView>
#include <optional>

#include "browser/focused_element.h"
#include "browser/pane.h"

class QWebEngineNewWindowRequest;

namespace quintavia {

// The document as it stood when its load finished: the engine answers asynchronously, the
// core reads synchronously.
class WebDocument final : public PaneDocument {
  public:
    std::optional<QString> outerHtml() const override { return html_; }
    std::optional<bool> windowHasEvent() const override { return userEvent_; }
    std::optional<bool> hasActiveElement() const override { return focused_.present; }
    std::optional<QString> activeElementHref() const override { return focused_.href; }
    std::optional<QString> activeElementProtocolLong() const override {
        return focused_.protocolLong;
    }

    void setMarkup(std::optional<QString> html) { html_ = std::move(html); }
    // Only while a request for a new window is being decided.
    void setUserEvent(bool handling) { userEvent_ = handling; }
    void setFocusedElement(FocusedElement element) { focused_ = std::move(element); }

  private:
    std::optional<QString> html_;  // none before the first finished load, or for non-HTML
    bool userEvent_ = false;
    FocusedElement focused_;  // unknown outside a request
};

// A browser pane: a QWebEngineView that raises downloadComplete once the finished page's
// markup is in hand, so that the core can read it without waiting.
class WebPane final : public QWebEngineView, public Pane {
    Q_OBJECT
  public:
    WebPane(int index, QWidget* parent);

    int index() const { return index_; }

    bool navigate(const QString& address) override;
    PaneDocument* document() override;

    float left() const override;
    float top() const override;
    float width() const override;
    float height() const override;
    bool setLeft(float twips) override;
    bool setTop(float twips) override;
    bool setWidth(float twips) override;
    bool setHeight(float twips) override;

  signals:
    void downloadComplete(int index);
    // The page asks for a new window; a handler sets *cancel to true to stop it. A request of
    // the user's click or key press is raised at once. One the page makes by itself is stopped
    // at once and raised when the page has told about its focused element, to decide the beep.
    void newWindow2(int index, bool* cancel);

  private:
    void captureDocument();
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void decideNewWindow(QWebEngineNewWindowRequest* request);

    int index_;
    WebDocument document_;
};

}  // namespace quintavia
