#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "core/layout/panes.h"
#include "core/listings/found_listing.h"
#include "core/listings/listing_memory.h"
#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"
#include "core/watch/kept.h"
#include "core/watch/notices.h"
#include "core/watch/site_healing.h"
#include "core/watch/site_watch.h"

namespace quintavia {

// What the watch decides for each event, as values for the window to carry out: the window
// decides nothing of its own.

// The panes' search addresses, by pane.
using Addresses = QStringList;
// The site each pane shows, by pane.
using PaneRules = QList<SiteRule>;

// A load of a site watched without a pane: its place among them, and its search address.
struct SiteLoad {
    int site = 0;
    QString address;

    bool operator==(const SiteLoad&) const = default;
};

struct ScrollTo {
    double top = 0;
    std::optional<double> left;  // none when the stored horizontal offset is no number

    bool operator==(const ScrollTo&) const = default;
};

// A site's newest listing that changed: the log box's entry and the alert sound.
struct NewestTitle {
    int pane = 0;
    QString siteId;      // the site's rule, which names its alert sound
    QString title;       // as stored and compared
    QUrl address;        // the listing's own link when the site gives one, else the page's
    QString logEntry;    // as the log box shows it
    bool sound = false;  // "Avviso sonoro" is ticked: the alert plays

    bool operator==(const NewestTitle&) const = default;
};

// What the window and the desktop show of the sites' watch: each pane's site label's tooltip
// and the tray icon's.
struct ToolTips {
    QStringList paneLabels;
    QString tray;

    bool operator==(const ToolTips&) const = default;
};

// What an event changed of what outlives the run, for the keeper of the kept files: each part
// given is to be written, with the state it is written from.
struct ToKeep {
    // Listings never seen before, in page order, for the history: written first, so that a
    // kill loses nothing found.
    QList<FoundListing> found{};
    // The listings' memory as it now stands, when it learned something: written at once, after
    // the history, as a kill must not make what was found new again.
    std::optional<ListingMemory> memory{};
    // The kept state as it now stands, when part of it changed.
    std::optional<Kept> kept{};
    bool lastTitles = false;      // a last title changed: written soon, many at a time
    bool choices = false;         // what "Impostazioni" chooses: written at once
    QStringList scrolledSites{};  // the ids of the sites whose offsets were saved: at once
    bool closing = false;         // the program ends: all of the kept state, at once
    // What is kept of the sites read by structure, when it changed: written at once.
    std::optional<StructureKept> structure{};

    bool operator==(const ToKeep&) const = default;
};

// What the program does once a pane's page has been read.
struct PageOutcome {
    std::optional<NewestTitle> newest;
    // The notification of the listings announced, when the site's last one is a minute old;
    // the channels that carry notifications each decide whether to show it.
    std::optional<Notice> foundNotice;
    bool foundChanged = false;       // the list of what was found has new rows
    std::optional<ScrollTo> scroll;  // scroll the pane back to the saved offsets
    // The site turned blind, or is watched again, and the notification that says so.
    std::optional<WatchChange> watch;
    std::optional<Notice> watchNotice;
    // When a site's state changed what the tooltips say.
    std::optional<ToolTips> toolTips;
    // A site read by structure found its cards by other selectors: the panes showing it read
    // with these from now on (KeptSelectors).
    std::optional<StructureSelectors> keptSelectors{};
    ToKeep keep;
    // Lines for standard error: what this capture showed of the site.
    QStringList warnings{};
    // The tags of the notices to take back from the desktop (Notice::tag): what they said is
    // over.
    QStringList withdrawn{};

    bool operator==(const PageOutcome&) const = default;
};

struct StartUpOutcome {
    PaneRules panes;       // each pane's site
    QStringList warnings;  // one line each for standard error: a stored site that is unknown
    Addresses addresses;   // the first refresh, for the stored region
    Options options;       // as stored, for the controls and the channels
    ToolTips toolTips;
    QList<SiteLoad> background{};  // the first loads of the sites watched without a pane
};

// What the user chose in "Impostazioni": each pane's site by id, the keywords, the option.
struct Choices {
    QStringList paneSites;
    QString keywords;
    bool desktopNotifications = true;
    // The words new listings are filtered by (Options::includeWords, excludeWords).
    QString includeWords{};
    QString excludeWords{};
    // The sites watched without a pane, in order, and each site's interval in minutes.
    QStringList backgroundSites{};
    QMap<QString, int> intervals{};
    int paneCount = kPaneCount;  // "Disposizione dei riquadri"

    bool operator==(const Choices&) const = default;
};

struct ChoicesOutcome {
    PaneRules panes;
    // The panes to load again, with their new address, by pane: those whose site or address
    // changed.
    QList<std::optional<QString>> reload;
    ToolTips toolTips;
    bool desktopNotifications = true;  // the option as it now stands
    ToKeep keep;
    // The notices to take back (Notice::tag): those of the sites no pane shows any longer.
    QStringList withdrawn{};
    QList<SiteLoad> background{};  // the sites newly watched without a pane, loaded at once
    // The address of every site watched without a pane, by its place among them: a load under
    // way for the same place and address still holds.
    QStringList backgroundAddresses{};
};

// What the user opened from the list of what was found, or by clicking a notification.
struct OpenOutcome {
    std::optional<QUrl> link{};  // for the desktop's opener
    bool showFound = false;      // show the list of what was found
    bool bringBack = false;      // bring the main window back
    ToolTips toolTips{};         // the number not yet opened has changed
    // Open "Impostazioni" with this pane's site to choose.
    std::optional<int> settingsPane{};
};

struct TickOutcome {
    std::optional<Addresses> refresh;
    QString title;
    QString trayToolTip;
    // New listings held back while their site's notifications were quiet, one notice a site.
    QList<Notice> notices;
    // With refresh: the panes it leaves as they are, by pane, their site not due yet.
    QList<bool> heldPanes{};
    // The sites watched without a pane that are due.
    QList<SiteLoad> background{};
};

}  // namespace quintavia
