#pragma once

#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <optional>

#include "browser/focused_element.h"
#include "browser/pane.h"

class QWebEngineNewWindowRequest;

namespace quintavia {

// The document as it stood when its load finished: the engine answers asynchronously, the
// core reads synchronously. The scroll offsets are the page's latest known ones; a new offset
// is handed to the page and applied there shortly after, in the order given.
class WebDocument final : public PaneDocument {
  public:
    explicit WebDocument(QWebEnginePage* page) : page_(page) {}

    std::optional<QString> outerHtml() const override { return html_; }
    std::optional<double> scrollTop() const override;
    std::optional<double> scrollLeft() const override;
    bool setScrollTop(const QString& offset) override;
    bool setScrollLeft(const QString& offset) override;
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
    bool scrollTo(const char* property, const QString& offset);

    QPointer<QWebEnginePage> page_;
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
