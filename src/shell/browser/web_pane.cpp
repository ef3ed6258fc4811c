#include "shell/browser/web_pane.h"

#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <cstdio>
#include <utility>

#include "core/page/listing_extraction.h"
#include "core/page/page_listings.h"
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

// How long the document has gone unchanged, in milliseconds, and how many changes it has seen
// since the first look: an observer in the isolated world, made once per document, notes them.
constexpr auto kChangesScript = R"JS(
(function () {
    var d = document;
    var q = window.__quintaviaChanges;
    if (!q || q.doc !== d) {
        q = {doc: d, last: Date.now(), changes: 0};
        window.__quintaviaChanges = q;
        if (d.documentElement)
            new MutationObserver(function () {
                q.last = Date.now();
                ++q.changes;
            }).observe(d.documentElement, {childList: true, subtree: true, characterData: true});
    }
    return [Date.now() - q.last, q.changes];
})()
)JS";

constexpr int kPollMs = 100;

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
    settleTimer_.setInterval(kPollMs);
    connect(&settleTimer_, &QTimer::timeout, this, &WebPane::poll);
    connect(this, &QWebEngineView::loadFinished, this, &WebPane::loadEnded);
    loadTimer_.setSingleShot(true);
    loadTimer_.setInterval(kLoadTimeoutMs);
    connect(&loadTimer_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        stop();
    });
    // An HTTP error status fails the load: the page is then the site's own body, or the
    // engine's error page when the body is empty. Told right after loadFinished, long before
    // the capture's script answers.
    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    // The page before is read as it stands, before another takes its place.
                    if (settling_) read(true);
                    stoppedElsewhere_ = false;
                    loadByProgram_ = std::exchange(programLoadAsked_, false);
                    loadAddress_ = loadByProgram_ ? askedAddress_ : QString();
                    return;
                }
                httpStatus_ = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                                  ? info.errorCode()
                                  : 0;
                retryAfter_.reset();
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
                // Older engines tell no headers: a site that asks to slow down then waits for
                // the doubling of its interval alone.
                const auto headers = info.responseHeaders();
                for (auto header = headers.cbegin(); header != headers.cend(); ++header)
                    if (header.key().compare("retry-after", Qt::CaseInsensitive) == 0)
                        retryAfter_ = QString::fromLatin1(header.value());
#endif
                // A navigation the page tried and the engine refused (a mail address it went to
                // by itself) stops the load, which is then told as failed, after its own document
                // had come.
                stoppedElsewhere_ = info.status() == QWebEngineLoadingInfo::LoadStoppedStatus &&
                                    info.url() != page_->url();
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

void WebPane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (const QWebEnginePage::WebAction refused :
         {QWebEnginePage::SavePage, QWebEnginePage::DownloadLinkToDisk,
          QWebEnginePage::DownloadImageToDisk, QWebEnginePage::DownloadMediaToDisk,
          QWebEnginePage::OpenLinkInNewTab, QWebEnginePage::OpenLinkInNewBackgroundTab})
        menu->removeAction(page()->action(refused));
    menu->setObjectName(QStringLiteral("paneMenu"));
    menu->setAccessibleName(QStringLiteral("Menu della pagina"));
    menu->setAccessibleDescription(QStringLiteral("Il menu della pagina di ") + siteName_);
    menu->popup(event->globalPos());
}

void WebPane::showSite(const SiteRule& site) {
    const bool sameSite = site.id == rule_.id && site.findBy == rule_.findBy;
    rule_ = site;
    siteName_ = site.name;
    if (!sameSite) kept_ = {};
    makeScripts();
}

void WebPane::keepSelectors(const StructureSelectors& selectors) {
    kept_ = selectors;
    makeScripts();
}

void WebPane::makeScripts() {
    structureScript_ = StructureScript(rule_.domain, kept_);
    listingScript_ = rule_.findBy == FindBy::Structure ? structureScript_ : ExtractionScript(rule_);
}

bool WebPane::navigate(const QString& address) {
    const QUrl url(address);
    if (!url.isValid()) return false;
    programLoadAsked_ = true;
    askedAddress_ = address;
    timedOut_ = false;
    loadTimer_.start();
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
    Warn(QStringLiteral("una pagina nel riquadro di %1 supera i %2 caratteri: se ne leggono gli "
                        "annunci solo dall'inizio")
             .arg(siteName_)
             .arg(kMarkupUnits));
}

void WebPane::loadEnded(bool loadSucceeded) {
    loadTimer_.stop();
    if (settling_) read(true);
    settling_ = Settling{.generation = ++generation_,
                         .url = page_->url(),
                         .loadSucceeded = loadSucceeded,
                         .byProgram = loadByProgram_,
                         .requested = loadAddress_,
                         .since = {},
                         .changesTried = -1,
                         .timedOut = std::exchange(timedOut_, false)};
    settling_->since.start();
    settleTimer_.start();
    poll();
}

void WebPane::poll() {
    if (!settling_) {
        settleTimer_.stop();
        return;
    }
    if (settling_->since.elapsed() >= kSettleMs) return read(true);
    std::weak_ptr<bool> alive = alive_;
    const int generation = settling_->generation;
    page_->runJavaScript(
        QString::fromLatin1(kChangesScript), QWebEngineScript::ApplicationWorld,
        [this, alive, generation](const QVariant& result) {
            if (alive.expired() || !settling_ || settling_->generation != generation) return;
            const QVariantList seen = result.toList();
            const double quietMs = seen.value(0).toDouble();
            const double changes = seen.value(1, -2).toDouble();
            // A document that cannot be looked at is read as it is.
            if (seen.size() != 2) return read(true);
            if (quietMs < kQuietMs || changes == settling_->changesTried) return;
            settling_->changesTried = changes;
            read(false);
        });
}

void WebPane::read(bool last) {
    if (!settling_) return;
    const Settling settled = *settling_;
    if (last) {
        settling_.reset();
        settleTimer_.stop();
    }
    std::weak_ptr<bool> alive = alive_;
    const QString script =
        QString::fromLatin1(kCaptureScript)
            .arg(QString::number(kMarkupUnits),
                 listingScript_.isEmpty() ? QStringLiteral("null") : listingScript_);
    const bool readsListings = !listingScript_.isEmpty();
    const bool byStructure = rule_.findBy == FindBy::Structure;
    const bool loaded = settled.loadSucceeded || (stoppedElsewhere_ && httpStatus_ == 0);
    page_->runJavaScript(
        script, QWebEngineScript::ApplicationWorld,
        [this, alive, settled, last, readsListings, byStructure, loaded](const QVariant& result) {
            if (alive.expired()) return;
            // A read that found nothing waits for the document's next quiet moment, unless a
            // later load or the last read of this one has come meanwhile.
            const bool current = settling_ && settling_->generation == settled.generation;
            if (!last && !current) return;
            PageCapture captured{.url = settled.url,
                                 .markup = std::nullopt,
                                 .loadSucceeded = loaded,
                                 .httpStatus = httpStatus_,
                                 .listings = std::nullopt,
                                 .startedByProgram = settled.byProgram,
                                 .requested = settled.requested};
            captured.timedOut = settled.timedOut;
            captured.retryAfter = retryAfter_;
            const QVariantList parts = result.toList();
            bool cut = false;
            if (result.typeId() == QMetaType::QVariantList && parts.size() == 4) {
                captured.url = QUrl(parts[0].toString());
                if (parts[1].typeId() == QMetaType::QString) captured.markup = parts[1].toString();
                cut = parts[2].toBool();
                if (IsBadSelectorAnswer(parts[3])) {
                    captured.selectorFault = true;
                } else if (byStructure) {
                    captured.structure = StructureFromAnswer(parts[3]);
                    if (captured.structure)
                        captured.listings = PlainListings(captured.structure->listings);
                } else if (readsListings && parts[3].typeId() == QMetaType::QVariantList) {
                    captured.listings = ListingsFromAnswer(parts[3]);
                }
            }
            const bool found = !readsListings || captured.selectorFault ||
                               (captured.listings && !captured.listings->isEmpty());
            if (!last && !found) return;
            if (current) {
                settling_.reset();
                settleTimer_.stop();
            }
            if (cut) tellMarkupCut();
            tell(std::move(captured));
        });
}

void WebPane::tell(PageCapture captured) {
    const bool ownFound = rule_.findBy == FindBy::Marker
                              ? ReadListings(rule_, captured).seen
                              : captured.listings && !captured.listings->isEmpty();
    if (rule_.findBy == FindBy::Structure || ownFound || captured.selectorFault ||
        !captured.markup || !IsRulePage(rule_, captured.url) || structureScript_.isEmpty()) {
        emit pageCaptured(pane_, captured);
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    page_->runJavaScript(structureScript_, QWebEngineScript::ApplicationWorld,
                         [this, alive, captured](const QVariant& answer) mutable {
                             if (alive.expired()) return;
                             captured.structure = StructureFromAnswer(answer);
                             emit pageCaptured(pane_, captured);
                         });
}

}  // namespace quintavia
