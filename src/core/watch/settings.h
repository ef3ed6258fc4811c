#pragma once

#include <QMap>
#include <QString>
#include <array>
#include <optional>

#include "core/sites/sites.h"

namespace quintavia {

// The region box's text when nothing was ever saved: the text it opens with.
inline const QString kDefaultRegionText = QStringLiteral("Abruzzo");

// A check box that can be ticked, unticked or greyed, with the numbers the file stores.
enum class TriState { Unticked = 0, Ticked = 1, Greyed = 2 };

QString TriStateText(TriState state);
// The number in `text`, read in the C locale whatever the user's locale, with blanks around
// it allowed (a hand edit may leave them): nullopt for anything but 0, 1 or 2.
std::optional<TriState> TriStateFromText(const QString& text);

// What is kept of a site other than the four of the grid's default, by the site's id: the four
// keep theirs where the program always kept them.
struct SiteMemory {
    QString lastListing;
    QString scrollTop = QStringLiteral("0");
    QString scrollLeft = QStringLiteral("0");

    bool operator==(const SiteMemory&) const = default;
};

// Everything the program keeps between runs.
struct Settings {
    std::array<QString, kSiteCount> lastListing;  // the last listing title seen per site
    TriState autoPosition = TriState::Unticked;   // restore the scroll offsets
    QString region = kDefaultRegionText;          // the region box's text; empty is a value
    TriState soundAlert = TriState::Unticked;
    // Decimal texts as stored: a hand-edited text that is no number is kept, and refused only
    // when a pane is scrolled to it.
    std::array<QString, kSiteCount> scrollTop{QStringLiteral("0"), QStringLiteral("0"),
                                              QStringLiteral("0"), QStringLiteral("0")};
    std::array<QString, kSiteCount> scrollLeft{QStringLiteral("0"), QStringLiteral("0"),
                                               QStringLiteral("0"), QStringLiteral("0")};
    bool desktopNotifications = true;  // "Notifiche sul desktop"
    // The id of the site each pane shows; empty for the pane's own default site.
    std::array<QString, kSiteCount> paneSites;
    QString keywords;  // searched for on the sites whose address takes them
    // The words a new listing's title must hold one of, and those it must hold none of:
    // comma-separated, as the user wrote them; empty lets everything through.
    QString includeWords;
    QString excludeWords;
    QMap<QString, SiteMemory> otherSites;

    bool operator==(const Settings&) const = default;
};

}  // namespace quintavia
