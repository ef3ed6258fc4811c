#pragma once

#include <QWebEnginePage>
#include <memory>

#include "core/new_window_filter.h"
#include "shell/beep.h"

class QWebEngineNewWindowRequest;

namespace quintavia {

// The page of a browser pane. Requests the engine makes of the program are answered here,
// where they arrive: a page's request for a new window is decided by the pop-up filter, the
// window stopped or opened, and the alert sounded when the filter says so.
class WebPage final : public QWebEnginePage {
    Q_OBJECT
  public:
    WebPage(Beep& beep, QWidget* owner);
    ~WebPage() override;

    // A page has a document from the moment its first page is committed, and none while its
    // page process is gone (killed or crashed) until the next load brings a new one: the
    // engine would otherwise answer for the lost page with offsets of 0.
    bool hasDocument() const;

  signals:
    // Told once a request for a new window has been decided, after the alert if any.
    void newWindowDecided(NewWindowVerdict verdict);

  private:
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void apply(NewWindowVerdict verdict, QWebEngineNewWindowRequest* request);

    Beep& beep_;
    QWidget* owner_;
    // Answers of the engine that arrive while the page is going away find it gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quintavia
