#include "shell/browser/web_page.h"

#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include "shell/browser/focused_element.h"
#include "shell/browser/popup_window.h"

namespace quintavia {

WebPage::WebPage(Beep& beep, QWebEngineProfile* profile, QWidget* owner)
    : GuardedPage(profile, owner), beep_(beep), owner_(owner) {
    // Every request reaches the filter: the engine must not drop any on its own.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    connect(this, &QWebEnginePage::newWindowRequested, this, &WebPage::onNewWindowRequested);
    clock_.start();
}

WebPage::~WebPage() {
    *alive_ = false;
}

bool WebPage::hasDocument() const {
    return history()->count() > 0 && renderProcessPid() != 0;
}

bool WebPage::hearsWindowRequests() const {
    return gate_.isOpen(clock_.elapsed());
}

void WebPage::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    // Left unanswered, the request is stopped.
    if (!request.isUserInitiated() && !gate_.admit(clock_.elapsed())) {
        emit windowRequestDropped();
        return;
    }
    if (request.isUserInitiated() || !hasDocument()) {
        NewWindowFacts facts;
        facts.hasDocument = hasDocument();
        facts.windowHasEvent = request.isUserInitiated();
        apply(FilterNewWindow(facts), &request);
        return;
    }
    // The focused element only tells whether to beep: a window asked for outside the user's
    // click or key press is always stopped. The engine answers about the element later, and
    // the request cannot wait, so it is stopped now, by leaving it unanswered, and the beep
    // is decided when the answer comes.
    std::weak_ptr<bool> alive = alive_;
    runJavaScript(FocusedElementScript(), QWebEngineScript::ApplicationWorld,
                  [this, alive](const QVariant& answer) {
                      if (alive.expired() || !*alive.lock()) return;
                      const FocusedElement focused = FocusedElementFromScript(answer);
                      apply(FilterNewWindow({.hasDocument = true,
                                             .windowHasEvent = false,
                                             .hasFocusedElement = focused.present,
                                             .href = focused.href,
                                             .protocolLong = focused.protocolLong}),
                            nullptr);
                  });
}

void WebPage::apply(NewWindowVerdict verdict, QWebEngineNewWindowRequest* request) {
    // The window is stopped before anything sounds.
    if (!verdict.stop && request) new PopupWindow(*request, profile(), owner_);
    if (verdict.beep) beep_.beep();
    emit newWindowDecided(verdict);
}

}  // namespace quintavia
