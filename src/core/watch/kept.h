#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/layout/panes.h"

namespace quintavia {

// The region box's text when nothing was ever saved: the text it opens with.
inline const QString kDefaultRegionText = QStringLiteral("Abruzzo");

// A check box that can be ticked, unticked or greyed, with the numbers the file stores.
enum class TriState { Unticked = 0, Ticked = 1, Greyed = 2 };

QString TriStateText(TriState state);
// The number in `text`, read in the C locale whatever the user's locale, with blanks around
// it allowed (a hand edit may leave them): nullopt for anything but 0, 1 or 2.
std::optional<TriState> TriStateFromText(const QString& text);

// What the user chose: in the window's top band, in "Impostazioni" and from the tray.
struct Options {
    TriState autoPosition = TriState::Unticked;  // restore the scroll offsets
    QString region = kDefaultRegionText;         // the region box's text; empty is a value
    TriState soundAlert = TriState::Unticked;
    bool desktopNotifications = true;  // "Notifiche sul desktop"
    // The id of the site each pane shows, by pane; empty (or past the end) for the pane's own
    // default site.
    QStringList paneSites = QStringList(kPaneCount);
    QString keywords;  // searched for on the sites whose address takes them
    // The words a new listing's title must hold one of, and those it must hold none of:
    // comma-separated, as the user wrote them; empty lets everything through.
    QString includeWords;
    QString excludeWords;
    // Past the grid's panes, paneSites goes on with the sites watched without a pane, in
    // order. Each site's interval in minutes, by id; a site not here has the default.
    QMap<QString, int> intervals{};
    // How many panes the grid has, one of kGridChoices.
    int paneCount = kPaneCount;

    bool operator==(const Options&) const = default;
};

// What the program keeps of one site, wherever it is shown.
struct SiteKept {
    QString lastListing;  // the last listing title seen
    // Decimal texts as stored: a hand-edited text that is no number is kept, and refused only
    // when a pane is scrolled to it.
    QString scrollTop = QStringLiteral("0");
    QString scrollLeft = QStringLiteral("0");

    bool operator==(const SiteKept&) const = default;
};

// Everything the settings file keeps between runs: the options, and what is kept of each site
// by its id.
struct Kept {
    Options options;
    QMap<QString, SiteKept> sites;

    // What is kept of the site with this id; a site never kept has the defaults.
    SiteKept site(const QString& id) const { return sites.value(id); }

    // A site kept at the defaults is the same as one never kept.
    bool operator==(const Kept& other) const;
};

}  // namespace quintavia
