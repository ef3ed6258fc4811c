#pragma once

#include <QElapsedTimer>
#include <QPointF>
#include <QTimer>
#include <QWebEngineView>
#include <memory>
#include <optional>

#include "core/engine/new_window_filter.h"
#include "core/page/page_capture.h"
#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"
#include "core/watch/outcomes.h"
#include "shell/browser/web_page.h"
#include "shell/desktop/beep.h"

class QWebEngineProfile;

namespace quintavia {

// A browser pane. Once a page has finished loading and its document has stopped changing for a
// moment (listings that scripts add after the load count), or a few seconds at most, the pane
// reads its markup and tells it with pageCaptured; it decides its pages' requests for new
// windows itself.
class WebPane final : public QWebEngineView {
    Q_OBJECT
  public:
    // A page's markup is read up to this many UTF-16 units: a page can grow itself to
    // hundreds of megabytes, and all of it would be copied into the program, twice over.
    // The first longer page of each pane is told once on standard error.
    static constexpr qsizetype kMarkupUnits = 16 * 1024 * 1024;
    // A page is read once its document has not changed for kQuietMs after the load finished;
    // one whose listings are not there yet is read again at its next quiet moment, and what is
    // there is read kSettleMs after the load at the latest.
    static constexpr int kQuietMs = 300;
    static constexpr int kSettleMs = 3000;
    // A load the program asked for that has not ended by then is stopped, and told as timed out.
    static constexpr int kLoadTimeoutMs = 45000;

    WebPane(int pane, Beep& beep, QWebEngineProfile* profile, QWidget* parent);
    ~WebPane() override;

    int pane() const { return pane_; }
    WebPage* webPage() const { return page_; }

    // Starts loading the address and returns at once; false when it is no address at all. The
    // load is the program's own: its capture says so.
    bool navigate(const QString& address);
    // The site the pane shows: its name for what the pane says, and the script that reads its
    // listings with each capture, in the pane's world of its own (none when the site's newest
    // listing is found in the markup alone).
    void showSite(const SiteRule& site);
    // A site read by structure: the selectors that found its cards, used from the next capture
    // on while they find any.
    void keepSelectors(const StructureSelectors& selectors);

    // The page's scroll offsets in CSS pixels; none while the pane has no page.
    std::optional<QPointF> scrollOffsets() const;
    // Hands the offsets to the page, which applies them shortly after, vertical first.
    void scrollTo(const ScrollTo& offsets);

  signals:
    void pageCaptured(int pane, const quintavia::PageCapture& capture);
    void newWindowDecided(int pane, quintavia::NewWindowVerdict verdict);

  protected:
    // The engine's menu, without what cannot work here: downloads are refused, and a pane has
    // no tabs.
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // The scripts that read the page, for the site shown and the selectors kept for it.
    void makeScripts();
    // What is known of the load a capture is for, until its page is read.
    struct Settling {
        int generation = 0;
        QUrl url;
        bool loadSucceeded = true;
        bool byProgram = false;
        QString requested;
        QElapsedTimer since;
        double changesTried = -1;  // the document's changes at the last read that found none
        bool timedOut = false;
    };
    void loadEnded(bool loadSucceeded);
    void poll();
    // Reads the page; `last`: whatever it shows is told, listings or not.
    void read(bool last);
    void tellMarkupCut();
    // Tells the capture; a page where the site's own rule found nothing is first read by its
    // structure too (StructureScript), for the watch to tell a new layout from an empty page.
    void tell(PageCapture captured);

    int pane_;
    WebPage* page_;
    // The HTTP status of the last load that ended, as the engine tells it after loadFinished.
    int httpStatus_ = 0;
    QString siteName_;
    SiteRule rule_;
    StructureSelectors kept_;
    QString listingScript_;
    // The structure reading of a site with a rule of its own, run only where that rule found
    // nothing.
    QString structureScript_;
    std::optional<Settling> settling_;
    int generation_ = 0;
    QTimer settleTimer_;
    // The last load ended stopped by a navigation elsewhere that was refused.
    bool stoppedElsewhere_ = false;
    // A load the program asked for is under way, or was the last to start, and the address it
    // asked for.
    bool programLoadAsked_ = false;
    bool loadByProgram_ = false;
    QString askedAddress_;
    QString loadAddress_;
    bool markupCutTold_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QTimer loadTimer_;
    bool timedOut_ = false;
    // The Retry-After of the last load's answer, where the engine tells it.
    std::optional<QString> retryAfter_;
};

}  // namespace quintavia
