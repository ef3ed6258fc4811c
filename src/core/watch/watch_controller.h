#pragma once

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QString>
#include <QUrl>
#include <optional>

#include "core/layout/panes.h"
#include "core/listings/found_list.h"
#include "core/listings/listing_news.h"
#include "core/page/page_capture.h"
#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"
#include "core/watch/countdown.h"
#include "core/watch/kept.h"
#include "core/watch/notice_throttle.h"
#include "core/watch/outcomes.h"
#include "core/watch/site_healing.h"
#include "core/watch/site_overview.h"
#include "core/watch/site_pace.h"
#include "core/watch/site_watch.h"

namespace quintavia {

// The program's state and the rules that act on it, free of widgets and of the browser
// engine. The window hands it each event as values, on the user-interface thread, and does
// what the returned outcome says.
class WatchController {
  public:
    // The sites the program knows, and the panes of the grid: each pane is set from the
    // catalogue, by the stored ids, else to its own default site.
    explicit WatchController(Catalogue catalogue = BuiltInCatalogue(), int paneCount = kPaneCount);

    // Start-up: what was stored takes over, and the first refresh searches the stored region.
    // `seen` is what earlier runs learned of the sites' listings, `earlier` what the history
    // holds of the listings they found, oldest first.
    StartUpOutcome startUp(const Kept& stored, ListingMemory seen = {},
                           const QList<FoundListing>& earlier = {});

    // "Aggiorna", Enter in the region box, and every other refresh: the search addresses for
    // the region box's text. A text that names a region of the list (in any letter case, with
    // blanks around it) gives Jobonline that region's number, and counts as that region
    // chosen; any other text leaves Jobonline the region last chosen.
    Addresses refresh();
    // A region chosen from the list, by its position (-1 when none is selected).
    Addresses chooseRegion(int listIndex);
    // One tick of the countdown timer.
    TickOutcome tick(WindowState state);
    // Pane `pane` has read its page, at `when`. A page off the site's own domain ends the
    // handling at once: nothing is probed, logged or scrolled for it.
    PageOutcome pageCaptured(int pane, const PageCapture& capture, const QDateTime& when = {});
    // "Salva posizione finestre": each pane's offsets, none for a pane without a page (which
    // keeps what was stored for its site).
    ToKeep savePositions(const QList<std::optional<QPointF>>& offsets);
    // "Impostazioni" confirmed. A grid of another size takes the sites in [Siti] order: the
    // first as many as it has panes are shown in them, the rest watched without a pane; a site
    // that changes places keeps its watch and what was seen of it.
    ChoicesOutcome choose(const Choices& choices);
    // What "Impostazioni" opens with.
    Choices choices() const;
    // The row of the list of what was found that the user opened.
    OpenOutcome openFound(qsizetype row);
    // A click on one of the program's notifications; `pane` is the notice's (Notice::pane).
    OpenOutcome noticeClicked(NoticeAction action, const QUrl& link, int pane = -1);
    // The program ends: everything that outlives the run.
    ToKeep closing() const;

    // Typing in the region box and clicks on the options change only the state; the next
    // event that needs them reads them.
    void setRegionText(const QString& text) { kept_.options.region = text; }
    void setAutoPosition(TriState value) { kept_.options.autoPosition = value; }
    void setSoundAlert(TriState value) { kept_.options.soundAlert = value; }
    void setDesktopNotifications(bool on) { kept_.options.desktopNotifications = on; }

    // What outlives the run as it stands now, for tools and tests: the window keeps what each
    // outcome gives to keep, and never reads these back.
    const Kept& kept() const { return kept_; }
    const ListingMemory& listingMemory() const { return memory_; }

    int paneCount() const { return static_cast<int>(panes_.size()); }
    const Options& options() const { return kept_.options; }
    // The selectors found for the sites read by structure.
    const KeptSelectors& keptSelectors() const { return selectors_; }
    // What earlier runs kept of the sites read by structure, before startUp; and what is kept
    // of them now.
    void restoreStructure(const StructureKept& kept);
    StructureKept structureKept() const;
    // A site added while the program runs: in the catalogue from now on, for every pane to
    // choose. False when the catalogue has a site of its id already.
    bool addSite(const SiteRule& site);
    // Whether a site's own rule went blind and its listings are found by structure instead.
    bool readByStructure(const QString& siteId) const { return healing_.healed(siteId); }
    const FoundList& found() const { return found_; }
    const Catalogue& catalogue() const { return catalogue_; }
    const SiteRule& paneRule(int pane) const { return panes_.at(pane); }
    qint16 regionIndex() const { return regionIndex_; }
    // Whether each pane's site still shows its listings; never stored.
    const SiteWatch& siteWatch(int pane) const { return watches_.at(pane); }
    int secondsLeft() const { return secondsLeft_; }
    // Runs the countdown out, so that the next tick refreshes: for tools that drive the
    // window faster than the clock.
    void expireCountdown() {
        clock_ += std::max(secondsLeft_, 0);
        secondsLeft_ = 0;
    }

    // The sites watched without a pane ([Siti] past the panes), each read as a pane's is.
    int backgroundCount() const { return static_cast<int>(background_.size()); }
    const SiteRule& backgroundRule(int site) const { return background_.at(site); }
    const SiteWatch& backgroundWatch(int site) const { return backgroundWatches_.at(site); }
    // Site `site` of those watched without a pane has read its page; nothing of it is for the
    // log box or a pane.
    PageOutcome backgroundCaptured(int site, const PageCapture& capture,
                                   const QDateTime& when = {});
    // The loads of the sites watched without a pane: `asked` ("Aggiorna", a region chosen)
    // every site but those held back; otherwise those due.
    QList<SiteLoad> backgroundLoads(bool asked);
    // The pace of each pane's site, then of each site watched without a pane.
    const SitePace& paneSitePace(int pane) const { return paces_.at(pane); }
    const SitePace& backgroundPace(int site) const { return paces_.at(paneCount() + site); }
    // The seconds the countdown has counted since the start.
    qint64 clock() const { return clock_; }
    // "Siti seguiti" as of `now`: the panes' sites, then those watched without a pane.
    QList<SiteOverviewRow> overview(const QDateTime& now) const;
    // The site of place `place` of the overview to be shown in a pane: a pane's stays where it
    // is; one watched without a pane changes places with the last pane's site. The choices
    // that make it so, to be applied as "Impostazioni" would; nullopt when nothing changes.
    std::optional<Choices> showInPane(int place) const;

    // "Segna tutti come aperti" in the list of what was found.
    OpenOutcome openAllFound();
    // What an earlier run left not yet opened, by address (FoundList::markUnopened), after
    // start-up: the tooltips with the number that waits.
    ToolTips restoreUnopened(const QStringList& addresses);

  private:
    ToolTips toolTips() const;
    QString address(int pane) const;
    Addresses addresses() const;
    // The rule of the site with this id, or nullptr when the catalogue has none.
    const SiteRule* rule(const QString& id) const;
    // The site a pane shows when nothing else was chosen for it.
    SiteRule defaultRule(int pane) const;
    // The name of the site that took over from this one, when the catalogue has it.
    QString successorName(const SiteRule& site) const;
    // Panes and sites watched without a pane are one list of places: the panes first.
    int placeCount() const { return paneCount() + backgroundCount(); }
    const SiteRule& ruleAt(int place) const;
    SiteWatch& watchAt(int place);
    const SiteWatch& watchAt(int place) const;
    PageOutcome captured(int place, const PageCapture& capture, const QDateTime& when);
    // The background sites from the ids past the panes: each known one, once, not in a pane.
    void setBackground(const QStringList& ids);
    // Every place's pace anew, each keeping what it had when its site had one in `before`.
    void placePaces(const QStringList& idsBefore, const QList<SitePace>& before);
    QStringList placeIds() const;
    int intervalOf(const QString& id) const;
    // The panes anew, `panes` of them, from the sites of `places` in order (Options::paneSites).
    void regrid(const QStringList& places, int panes);

    Catalogue catalogue_;
    PaneRules panes_;
    Kept kept_;
    qint16 regionIndex_ = 0;
    int secondsLeft_ = kCountdownStart;
    QList<SiteWatch> watches_;
    ListingMemory memory_;
    KeptSelectors selectors_;
    ListingFilters filters_;
    FoundList found_;
    NoticeThrottle notices_;
    PaneRules background_;
    QList<SiteWatch> backgroundWatches_;
    QList<SitePace> paces_;  // by place
    qint64 clock_ = 0;
    QMap<QString, QDateTime> lastLoads_;  // by site id
    SiteHealing healing_;
};

}  // namespace quintavia
