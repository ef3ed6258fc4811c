#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace quintavia {

// What the program remembers of the listings it has met, between runs: per site, the keys of
// the listings seen (a listing's link, or its title where the site gives no links), and the
// jobs announced lately, to announce each job once whichever site shows it.

// The newest keys kept per site: more than any search shows at once, so that a listing that
// moves down a page is never new again, and few enough that the file stays small.
inline constexpr qsizetype kSeenKeysKept = 2000;
// And the most UTF-16 units a site's keys hold together: a board with links of thousands of
// units must not make the file too large to save.
inline constexpr qsizetype kSeenKeyUnitsKept = 512 * 1024;
// How long an announced job is remembered, and the most remembered.
inline constexpr qint64 kAnnouncedDays = 7;
inline constexpr qsizetype kAnnouncedKept = 5000;
// The most UTF-16 units kept of a folded title, company or place: folding can make a text many
// times longer than the page wrote it (a ligature of one unit is eighteen letters).
inline constexpr qsizetype kFoldedUnitsKept = 300;

struct SeenKeys {
    // The search whose listings the keys are: the address the pane was given. Another search
    // is not news, so its first capture only learns what it shows.
    QString search;
    QStringList keys;  // oldest first, at most kSeenKeysKept
    // The site's links were found not to stay from one load to the next: its listings are known
    // by title and company.
    bool byTitle = false;
    // What the last load showed, each listing's folded title and company (TitleMark), to tell a
    // load whose links all changed from one of new listings.
    QStringList lastTitles{};

    bool operator==(const SeenKeys&) const = default;
};

struct Announced {
    QString title;   // folded (FoldText), cut to kFoldedUnitsKept
    QString siteId;  // the site that announced it
    QString site;    // that site's name, for the history's "anche su" column
    QDateTime when;
    QString company{};  // folded and cut as the title; empty when the site does not tell
    QString place{};

    bool operator==(const Announced&) const = default;
};

struct ListingMemory {
    QMap<QString, SeenKeys> sites;  // by site id
    QList<Announced> announced;     // oldest first

    bool operator==(const ListingMemory&) const = default;
};

}  // namespace quintavia
