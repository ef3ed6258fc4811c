#pragma once

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QString>
#include <QUrl>
#include <array>
#include <optional>

#include "core/listings/found_listings.h"
#include "core/listings/listing_news.h"
#include "core/listings/listing_title.h"
#include "core/page/listing_extraction.h"
#include "core/sites/site_rules.h"
#include "core/sites/sites.h"
#include "core/watch/countdown.h"
#include "core/watch/notices.h"
#include "core/watch/settings.h"
#include "core/watch/site_watch.h"

namespace quintavia {

// What a pane tells once a page has finished loading and its markup has been read.
struct PageCapture {
    QUrl url;                       // the address of the document that was read
    std::optional<QString> markup;  // none when the page is not an HTML document
    // As the engine reported the load: a failure is its own error page or an HTTP error
    // status, whose page may be the site's own body.
    bool loadSucceeded = true;
    int httpStatus = 0;  // 0 when unknown
    // A site whose listings are read by a selector: what the pane's script read, in page
    // order; none when it could not run.
    std::optional<QList<Listing>> listings{};
    // Whether the program asked for this load (start-up, a refresh, a choice): a page that the
    // user or the page itself went to is read all the same, but says nothing of whether the
    // site can still be watched.
    bool startedByProgram = true;
    // The address the program asked for that led to this load: the search whose listings these
    // are, whatever redirects followed. Empty when unknown: the pane's address now stands in.
    QString requested{};
};

// The site each pane shows, by pane.
using PaneRules = std::array<SiteRule, kSiteCount>;

struct ScrollTo {
    double top = 0;
    std::optional<double> left;  // none when the stored horizontal offset is no number

    bool operator==(const ScrollTo&) const = default;
};

// A site's newest listing that changed: the log box's entry and the alert sound.
struct NewListing {
    int site = 0;        // the pane
    QString siteId;      // the site's rule, which names its alert sound
    QString title;       // as stored and compared
    QUrl address;        // the listing's own link when the site gives one, else the page's
    QString logEntry;    // as the log box shows it
    bool sound = false;  // play the site's alert sound

    bool operator==(const NewListing&) const = default;
};

// What the window and the desktop show of the sites' watch: each site label's tooltip and the
// tray icon's.
struct ToolTips {
    std::array<QString, kSiteCount> siteLabels;
    QString tray;

    bool operator==(const ToolTips&) const = default;
};

// What the program does once a pane's page has been read.
struct PageOutcome {
    std::optional<NewListing> listing;
    // The listings never seen before, in page order, and their lines for the history file.
    QList<FoundListing> found;
    QStringList records;
    // The notification of those announced, when notifications are on and the site's last one
    // is a minute old.
    std::optional<Notice> foundNotice;
    // What was learned of the site's listings is to be stored now: the history already holds
    // what was found, and a kill must not make it new again.
    bool memoryChanged = false;
    std::optional<ScrollTo> scroll;  // scroll the pane back to the saved offsets
    bool listingsChanged = false;    // a last listing changed: store the listings soon
    // The site turned blind, or is watched again, and the notification that says so when
    // notifications are on.
    std::optional<WatchChange> watch;
    std::optional<Notice> watchNotice;
    // When a site's state changed what the tooltips say.
    std::optional<ToolTips> toolTips;

    bool operator==(const PageOutcome&) const = default;
};

struct StartUpOutcome {
    PaneRules panes;       // each pane's site
    QStringList warnings;  // one line each for standard error: a stored site that is unknown
    Addresses addresses;   // the first refresh, for the stored region
    QString regionText;    // the region box, and the options, as stored
    TriState autoPosition = TriState::Unticked;
    TriState soundAlert = TriState::Unticked;
    bool desktopNotifications = true;
    ToolTips toolTips;
};

// What the user chose in "Impostazioni": each pane's site by id, the keywords, the option.
struct Choices {
    std::array<QString, kSiteCount> paneSites;
    QString keywords;
    bool desktopNotifications = true;
    // The words new listings are filtered by (Settings::includeWords, excludeWords).
    QString includeWords{};
    QString excludeWords{};

    bool operator==(const Choices&) const = default;
};

struct ChoicesOutcome {
    PaneRules panes;
    // The panes to load again, with their new address: those whose site or address changed.
    std::array<std::optional<QString>, kSiteCount> reload;
    ToolTips toolTips;
    bool desktopNotifications = true;  // the option as it now stands
};

// What the user opened from the list of what was found, or by clicking a notification.
struct OpenOutcome {
    std::optional<QUrl> link{};  // for the desktop's opener
    bool showFound = false;      // show the list of what was found
    bool bringBack = false;      // bring the main window back
    ToolTips toolTips{};         // the number not yet opened has changed
};

struct TickOutcome {
    std::optional<Addresses> refresh;
    QString title;
    QString trayToolTip;
    // New listings held back while their site's notifications were quiet, one notice a site.
    QList<Notice> notices;
};

// The program's state and the rules that act on it, free of widgets and of the browser
// engine. The window hands it each event as values, on the user-interface thread, and does
// what the returned outcome says.
class WatchController {
  public:
    // The sites the program knows: the panes are set from them, by the stored ids.
    explicit WatchController(Catalogue catalogue = BuiltInCatalogue());

    // Start-up: what was stored takes over, and the first refresh searches the stored region.
    // `seen` is what earlier runs learned of the sites' listings, `earlier` what the history
    // holds of the listings they found, oldest first.
    StartUpOutcome startUp(const Settings& stored, ListingMemory seen = {},
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
    // Pane `site` has read its page, at `when`. A page off the site's own domain ends the
    // handling at once: nothing is probed, logged or scrolled for it.
    PageOutcome pageCaptured(int site, const PageCapture& capture, const QDateTime& when = {});
    // "Salva posizione finestre": each pane's offsets, none for a pane without a page. Gives
    // the ids of the sites whose offsets are to be stored; a pane without a page keeps what
    // was stored for its site.
    QStringList savePositions(const std::array<std::optional<QPointF>, kSiteCount>& offsets);
    // "Impostazioni" confirmed.
    ChoicesOutcome choose(const Choices& choices);
    // What "Impostazioni" opens with.
    Choices choices() const;
    // The row of the list of what was found that the user opened.
    OpenOutcome openFound(qsizetype row);
    // A click on one of the program's notifications.
    OpenOutcome noticeClicked(NoticeAction action, const QUrl& link);

    // Typing in the region box and clicks on the options change only the state; the next
    // event that needs them reads them.
    void setRegionText(const QString& text) { settings_.region = text; }
    void setAutoPosition(TriState value) { settings_.autoPosition = value; }
    void setSoundAlert(TriState value) { settings_.soundAlert = value; }
    void setDesktopNotifications(bool on) { settings_.desktopNotifications = on; }

    // Everything that outlives the run, as it stands now.
    const Settings& settings() const { return settings_; }
    const ListingMemory& listingMemory() const { return memory_; }
    const FoundListings& found() const { return found_; }
    const Catalogue& catalogue() const { return catalogue_; }
    const SiteRule& paneRule(int pane) const { return panes_.at(static_cast<std::size_t>(pane)); }
    qint16 regionIndex() const { return regionIndex_; }
    // Whether each site's pages still show its listings; never stored.
    const SiteWatch& siteWatch(int site) const {
        return watches_.at(static_cast<std::size_t>(site));
    }
    int secondsLeft() const { return secondsLeft_; }
    // Runs the countdown out, so that the next tick refreshes: for tools that drive the
    // window faster than the clock.
    void expireCountdown() { secondsLeft_ = 0; }

    // A site's notifications come at most once in this many seconds (ticks): a page that
    // reloads itself with a new title each time must not flood the desktop.
    static constexpr int kNoticeQuietSeconds = 60;

  private:
    std::optional<Notice> noticeFor(std::size_t pane, const QList<FoundListing>& announced);
    ToolTips toolTips() const;
    QString address(int pane) const;
    Addresses addresses() const;
    // The rule of the site with this id, or nullptr when the catalogue has none.
    const SiteRule* rule(const QString& id) const;
    // What is kept of the site with this id: the four defaults where they always were kept.
    QString& lastListingOf(const QString& id);
    QString& scrollTopOf(const QString& id);
    QString& scrollLeftOf(const QString& id);

    Catalogue catalogue_;
    PaneRules panes_;
    Settings settings_;
    qint16 regionIndex_ = 0;
    int secondsLeft_ = kCountdownStart;
    std::array<SiteWatch, kSiteCount> watches_{};
    ListingMemory memory_;
    ListingFilters filters_;
    FoundListings found_;
    // Per pane: the seconds left before the next notification may come, and how many listings
    // were held back meanwhile, the newest first few of them.
    std::array<int, kSiteCount> noticeQuiet_{};
    std::array<int, kSiteCount> heldCount_{};
    std::array<QList<FoundListing>, kSiteCount> held_{};
};

}  // namespace quintavia
