#include "shell/browser/web_pane.h"

#include <QLocale>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <cstdio>
#include <utility>

#include "core/page/listing_extraction.h"
#include "shell/app/warn.h"
#include "shell/browser/web_page.h"

namespace quintavia {
namespace {

// Runs in an isolated world, so the page's own scripts can neither see nor tamper with it.
// Gives the address of the document it read with what it read, taken together, so that a page
// that moves on meanwhile cannot pass its markup off under another address. Anything but an
// HTML document reads as no markup. Markup past the limit stays in the page's process, cut
// before it crosses into ours (never between the halves of a pair), and the cut is told.
// %1: the limit; %2: the site's listing script, an expression, or null.
constexpr auto kCaptureScript = R"JS(
(function (limit) {
    var d = document;
    if (!d) return null;
    var markup = null;
    var cut = false;
    var type = d.contentType;
    if (d.documentElement && (type === 'text/html' || type === 'application/xhtml+xml')) {
        markup = d.documentElement.outerHTML;
        if (markup.length > limit) {
            var end = limit;
            var last = markup.charCodeAt(end - 1);
            if (last >= 0xD800 && last <= 0xDBFF) --end;
            markup = markup.substring(0, end);
            cut = true;
        }
    }
    var listings = null;
    try {
        listings = %2;
    } catch (e) {
        listings = null;
    }
    return [d.URL, markup, cut, listings];
})(%1)
)JS";

// Sets the offsets of the page's scrolling element (the root element in standards mode, the
// body in quirks mode), vertical first, from the isolated world like every other script of
// ours. The numbers are formatted by the program, never taken from text.
constexpr auto kScrollScript = R"JS(
(function (top, left) {
    var e = document.scrollingElement || document.documentElement;
    if (!e) return;
    e.scrollTop = top;
    if (left !== null) e.scrollLeft = left;
})(%1, %2)
)JS";

QString Number(double value) {
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

}  // namespace

WebPane::WebPane(int pane, Beep& beep, QWebEngineProfile* profile, QWidget* parent)
    : QWebEngineView(parent), pane_(pane), page_(new WebPage(beep, profile, this)) {
    setPage(page_);
    connect(this, &QWebEngineView::loadFinished, this, &WebPane::capture);
    // An HTTP error status fails the load: the page is then the site's own body, or the
    // engine's error page when the body is empty. Told right after loadFinished, long before
    // the capture's script answers.
    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    loadByProgram_ = std::exchange(programLoadAsked_, false);
                    loadAddress_ = loadByProgram_ ? askedAddress_ : QString();
                    return;
                }
                httpStatus_ = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                                  ? info.errorCode()
                                  : 0;
            });
    connect(page_, &WebPage::newWindowDecided, this,
            [this](NewWindowVerdict verdict) { emit newWindowDecided(pane_, verdict); });
}

WebPane::~WebPane() {
    // The engine answers pending scripts when the page goes; nothing may hear them by then.
    *alive_ = false;
    alive_.reset();
    delete page_;
}

void WebPane::showSite(const SiteRule& site) {
    siteName_ = site.name;
    listingScript_ = ExtractionScript(site);
}

bool WebPane::navigate(const QString& address) {
    const QUrl url(address);
    if (!url.isValid()) return false;
    programLoadAsked_ = true;
    askedAddress_ = address;
    load(url);
    return true;
}

std::optional<QPointF> WebPane::scrollOffsets() const {
    if (!page_->hasDocument()) return std::nullopt;
    return page_->scrollPosition();
}

void WebPane::scrollTo(const ScrollTo& offsets) {
    if (!page_->hasDocument()) return;
    page_->runJavaScript(QString::fromLatin1(kScrollScript)
                             .arg(Number(offsets.top),
                                  offsets.left ? Number(*offsets.left) : QStringLiteral("null")),
                         QWebEngineScript::ApplicationWorld);
}

void WebPane::tellMarkupCut() {
    if (markupCutTold_) return;
    markupCutTold_ = true;
    Warn(QStringLiteral("a page in the %1 pane is longer than %2 characters; only its beginning "
                        "is read for listings")
             .arg(siteName_)
             .arg(kMarkupUnits));
}

void WebPane::capture(bool loadSucceeded) {
    std::weak_ptr<bool> alive = alive_;
    const QUrl url = page_->url();
    const bool byProgram = loadByProgram_;
    const QString requested = loadAddress_;
    const QString script =
        QString::fromLatin1(kCaptureScript)
            .arg(QString::number(kMarkupUnits),
                 listingScript_.isEmpty() ? QStringLiteral("null") : listingScript_);
    const bool readsListings = !listingScript_.isEmpty();
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                         [this, alive, url, loadSucceeded, byProgram, requested,
                          readsListings](const QVariant& result) {
                             if (alive.expired()) return;
                             PageCapture captured{.url = url,
                                                  .markup = std::nullopt,
                                                  .loadSucceeded = loadSucceeded,
                                                  .httpStatus = httpStatus_,
                                                  .listings = std::nullopt,
                                                  .startedByProgram = byProgram,
                                                  .requested = requested};
                             const QVariantList read = result.toList();
                             if (result.typeId() == QMetaType::QVariantList && read.size() == 4) {
                                 captured.url = QUrl(read[0].toString());
                                 if (read[1].typeId() == QMetaType::QString)
                                     captured.markup = read[1].toString();
                                 if (read[2].toBool()) tellMarkupCut();
                                 if (readsListings && read[3].typeId() == QMetaType::QVariantList)
                                     captured.listings = ListingsFromAnswer(read[3]);
                             }
                             emit pageCaptured(pane_, captured);
                         });
}

}  // namespace quintavia
