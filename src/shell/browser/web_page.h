#pragma once

#include <QElapsedTimer>
#include <memory>

#include "core/engine/new_window_filter.h"
#include "shell/browser/guarded_page.h"
#include "shell/desktop/beep.h"

class QWebEngineNewWindowRequest;
class QWebEngineProfile;

namespace quintavia {

// The page of a browser pane: a guarded page whose dialogs never show. Its requests for new
// windows are answered here, where they arrive: decided by the pop-up filter, the window
// stopped or opened, and the alert sounded when the filter says so. Requests that the page
// makes by itself are heard at most once a second.
class WebPage final : public GuardedPage {
    Q_OBJECT
  public:
    WebPage(Beep& beep, QWebEngineProfile* profile, QWidget* owner);
    ~WebPage() override;

    // A page has a document from the moment its first page is committed, and none while its
    // page process is gone (killed or crashed) until the next load brings a new one: the
    // engine would otherwise answer for the lost page with offsets of 0.
    bool hasDocument() const;
    // Whether a window that the page asked for by itself would be heard now.
    bool hearsWindowRequests() const;

  signals:
    // Told once a request for a new window has been decided, after the alert if any.
    void newWindowDecided(NewWindowVerdict verdict);
    // Told for each request that was stopped unheard, the page having been heard too lately.
    void windowRequestDropped();

  private:
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void apply(NewWindowVerdict verdict, QWebEngineNewWindowRequest* request);

    Beep& beep_;
    QWidget* owner_;
    WindowRequestGate gate_;
    QElapsedTimer clock_;
    // Answers of the engine that arrive while the page is going away find it gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quintavia
