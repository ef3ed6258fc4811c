#include "browser/web_pane.h"

#include <QLocale>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include "browser/popup_window.h"
#include "browser/scroll_offset.h"
#include "browser/twips.h"

namespace quintavia {
namespace {

// Runs in an isolated world, so the page's own scripts can neither see nor tamper with it.
// Anything but an HTML document reads as no document.
constexpr auto kCaptureScript = R"JS(
(function () {
    var d = document;
    if (!d || !d.documentElement) return null;
    var type = d.contentType;
    if (type !== 'text/html' && type !== 'application/xhtml+xml') return null;
    return d.documentElement.outerHTML;
})()
)JS";

// Sets one scroll offset of the page's scrolling element (the root element in standards mode,
// the body in quirks mode), from the isolated world like every other script of ours.
constexpr auto kScrollScript = R"JS(
(function (property, offset) {
    var e = document.scrollingElement || document.documentElement;
    if (e) e[property] = offset;
})('%1', %2)
)JS";

}  // namespace

std::optional<double> WebDocument::scrollTop() const {
    if (!page_) return std::nullopt;
    return page_->scrollPosition().y();
}

std::optional<double> WebDocument::scrollLeft() const {
    if (!page_) return std::nullopt;
    return page_->scrollPosition().x();
}

bool WebDocument::setScrollTop(const QString& offset) {
    return scrollTo("scrollTop", offset);
}

bool WebDocument::setScrollLeft(const QString& offset) {
    return scrollTo("scrollLeft", offset);
}

bool WebDocument::scrollTo(const char* property, const QString& offset) {
    const std::optional<double> value = ScrollOffsetFromText(offset);
    if (!value || !page_) return false;
    page_->runJavaScript(QString::fromLatin1(kScrollScript)
                             .arg(QLatin1String(property),
                                  QString::number(*value, 'f', QLocale::FloatingPointShortest)),
                         QWebEngineScript::ApplicationWorld);
    return true;
}

WebPane::WebPane(int index, QWidget* parent)
    : QWebEngineView(parent), index_(index), document_(page()) {
    connect(this, &QWebEngineView::loadFinished, this, [this](bool) { captureDocument(); });
    // Every request reaches the program's filter: the engine must not drop any on its own.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    connect(page(), &QWebEnginePage::newWindowRequested, this, &WebPane::onNewWindowRequested);
}

bool WebPane::navigate(const QString& address) {
    const QUrl url(address);
    if (!url.isValid()) return false;
    load(url);
    return true;
}

PaneDocument* WebPane::document() {
    // A pane has a document from the moment its first page is committed, and none while its
    // page process is gone (killed or crashed) until the next load brings a new one: the
    // engine would otherwise answer for the lost page with offsets of 0.
    if (page()->history()->count() == 0 || page()->renderProcessPid() == 0) return nullptr;
    return &document_;
}

void WebPane::captureDocument() {
    QPointer<WebPane> self(this);
    page()->runJavaScript(QString::fromLatin1(kCaptureScript), QWebEngineScript::ApplicationWorld,
                          [self](const QVariant& result) {
                              if (!self) return;
                              if (result.typeId() == QMetaType::QString)
                                  self->document_.setMarkup(result.toString());
                              else
                                  self->document_.setMarkup(std::nullopt);
                              emit self->downloadComplete(self->index_);
                          });
}

void WebPane::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    if (request.isUserInitiated() || !document()) {
        decideNewWindow(&request);
        return;
    }
    // The focused element only tells whether to beep: a window asked for outside the user's
    // click or key press is always stopped. The engine answers about the element later, and
    // the request cannot wait, so it is stopped now, by leaving it unanswered, and decided
    // when the answer comes.
    QPointer<WebPane> self(this);
    page()->runJavaScript(FocusedElementScript(), QWebEngineScript::ApplicationWorld,
                          [self](const QVariant& answer) {
                              if (!self) return;
                              self->document_.setFocusedElement(FocusedElementFromScript(answer));
                              self->decideNewWindow(nullptr);
                              self->document_.setFocusedElement({});
                          });
}

void WebPane::decideNewWindow(QWebEngineNewWindowRequest* request) {
    const bool userEvent = request && request->isUserInitiated();
    document_.setUserEvent(userEvent);
    bool cancel = false;
    emit newWindow2(index_, &cancel);
    document_.setUserEvent(false);
    if (!cancel && request) new PopupWindow(*request, this);
}

float WebPane::left() const {
    return PixelsToTwips(x());
}
float WebPane::top() const {
    return PixelsToTwips(y());
}
float WebPane::width() const {
    return PixelsToTwips(QWidget::width());
}
float WebPane::height() const {
    return PixelsToTwips(QWidget::height());
}

bool WebPane::setLeft(float twips) {
    move(TwipsToPixels(twips), y());
    return true;
}

bool WebPane::setTop(float twips) {
    move(x(), TwipsToPixels(twips));
    return true;
}

bool WebPane::setWidth(float twips) {
    if (!(twips >= 0)) return false;
    resize(TwipsToPixels(twips), QWidget::height());
    return true;
}

bool WebPane::setHeight(float twips) {
    if (!(twips >= 0)) return false;
    resize(QWidget::width(), TwipsToPixels(twips));
    return true;
}

}  // namespace quintavia
